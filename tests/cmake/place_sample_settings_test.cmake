# The build puts the sample Settings beside the program only where there is none yet, and creates
# the output folder the Settings file names. Run with -DSCRIPT=<place_sample_settings.cmake>
# -DSAMPLE=<the sample Settings> -DWORK=<an empty scratch folder>.
file(REMOVE_RECURSE "${WORK}")

# A fresh build folder: the sample arrives, with its output folder.
file(MAKE_DIRECTORY "${WORK}/fresh")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SAMPLE} -DTARGET_DIR=${WORK}/fresh
                        -P ${SCRIPT} RESULT_VARIABLE failed)
file(READ "${SAMPLE}" sample_text)
file(READ "${WORK}/fresh/Settings" copied_text)
if(failed OR NOT copied_text STREQUAL sample_text OR NOT IS_DIRECTORY "${WORK}/fresh/tracks")
  message(FATAL_ERROR "the sample Settings or its tracks folder is missing in a fresh folder")
endif()

# An operator's own Settings stays exactly as it was; its output folder is created.
file(MAKE_DIRECTORY "${WORK}/own")
set(own_text "takes\n1\n10\n1\n0.05\n1.02\n")
file(WRITE "${WORK}/own/Settings" "${own_text}")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SAMPLE} -DTARGET_DIR=${WORK}/own
                        -P ${SCRIPT} RESULT_VARIABLE failed)
file(READ "${WORK}/own/Settings" kept_text)
if(failed OR NOT kept_text STREQUAL own_text OR NOT IS_DIRECTORY "${WORK}/own/takes")
  message(FATAL_ERROR "the operator's Settings was changed or its folder not created")
endif()
file(REMOVE_RECURSE "${WORK}")
