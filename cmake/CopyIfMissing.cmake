# cmake -DSOURCE=... -DTARGET=... -P CopyIfMissing.cmake
# Copies SOURCE to TARGET unless TARGET exists, so a user's edits survive a rebuild.
if(NOT EXISTS "${TARGET}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
