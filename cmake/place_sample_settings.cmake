# Copies the sample Settings beside the built program unless one is already there, and creates
# the output folder the Settings file names (relative names are taken from the program's folder).
if(NOT EXISTS "${TARGET_DIR}/Settings")
  file(COPY "${SOURCE}" DESTINATION "${TARGET_DIR}")
endif()
file(STRINGS "${TARGET_DIR}/Settings" fields REGEX "[^ \t]" LIMIT_COUNT 1)
string(STRIP "${fields}" out_dir)
string(REGEX REPLACE "[ \t].*" "" out_dir "${out_dir}")
if(out_dir AND NOT IS_ABSOLUTE "${out_dir}" AND NOT out_dir MATCHES "^[A-Za-z]:")
  file(MAKE_DIRECTORY "${TARGET_DIR}/${out_dir}")
endif()
