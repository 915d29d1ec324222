#include "support.h"

#include <locale.h>

namespace modalsynth::testing {

bool commaLocaleAvailable() {
  locale_t loc = newlocale(LC_NUMERIC_MASK, kCommaLocale, static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return false;
  freelocale(loc);
  return true;
}

}  // namespace modalsynth::testing
