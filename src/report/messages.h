#pragma once
// Every text the system shows, in one place: report line formats, chart
// title texts, message box texts and the floating-point error messages.
// Report line formats take "%.3f", "%.5f" and "%g" conversions only.

namespace modalsynth::msg {

// Application and window.
inline constexpr const char* kApplicationTitle = "Модальный метод синтеза";
inline constexpr const char* kWindowCaption = "Модальный метод ситеза";
inline constexpr const char* kButtonSweep = "Построить график";
inline constexpr const char* kButtonDegree = "Рассчитать параметры";
inline constexpr const char* kCopyChart = "Скопировать график в буфер";

// Chart.
inline constexpr const char* kChartHeading = "Зависимость e(alfa)";
inline constexpr const char* kAxisAlfa = "alfa";
inline constexpr const char* kAxisError = "e(alfa)";
inline constexpr const char* kAxisControl = "u(alfa)";
inline constexpr const char* kStatusSuccess = "Расчет проведен успешно";
inline constexpr const char* kStatusAborted = "Расчет прерван: ";  // followed by the error box text

// Message box of the single-degree command.
inline constexpr const char* kDegreeRequired = "Надо указать степень устойчивости";

// Floating-point errors, as the error box shows them before the full stop.
inline constexpr const char* kInvalidOperation = "Invalid floating point operation";
inline constexpr const char* kDivisionByZero = "Floating point division by zero";
inline constexpr const char* kOverflow = "Floating point overflow";

// Report lines, in the order they can appear within one command.
inline constexpr const char* kEchoHeading = "Расчет выполнен для следующих исходных данных:";
inline constexpr const char* kEchoValues =
    "x1=%.3f x2=%.3f x3=%.3f f0=%.3f Ku=%.3f Kf=%.3f part=%.3f u0=%.3f a2=%.3f a1=%.3f";
inline constexpr const char* kLimitCrossed = "При alfa**=%.3f max(u)=%.3f стал больше чем u0=%.3f";
inline constexpr const char* kLimitError = "Также при alfa*=%.3f e=%.3f";
inline constexpr const char* kNotApplicable = "При alfa=%.3f нарушено условие применимости формулы";
inline constexpr const char* kStepStalled = "Шаг alfastep=%g не увеличивает alfa=%.5f, перебор остановлен";
inline constexpr const char* kStepLimit = "Перебор остановлен после 1000000 шагов, последняя alfa=%.5f";
inline constexpr const char* kNoDegree =
    "Ни одна степень устойчивости не рассчитана: alfa1=%.3f alfa2=%.3f alfastep=%.3f";
inline constexpr const char* kMinimum = "Минимум e=%.3f достигнут при alfa*=%.3f";
inline constexpr const char* kResults = "Результаты синтеза:";
inline constexpr const char* kLimitFirst = "alfa**=%.3f < alfa*=%.3f, значит aопт=%.3f";
inline constexpr const char* kMinimumFirst = "alfa**=%.3f > alfa*=%.3f, значит alfaопт=%.3f";
inline constexpr const char* kLimitNeverCrossed = "max(u) не превысил u0=%.3f, значит alfaопт=%.3f";
inline constexpr const char* kLeastError = "Минимально возможная ошибка e(%.3f)=%.3f";
inline constexpr const char* kOptimumCoefficients =
    "Для оптимальной степени устойчивости alfaопт=%.5f Ke=%.5f b2=%.5f b1=%.5f";
inline constexpr const char* kDegreeCoefficients = "Для степени устойчивости alfa=%.5f Ke=%.5f b2=%.5f b1=%.5f";

}  // namespace modalsynth::msg
