# Compiles one language of the help into a .chm file; run by help/CMakeLists.txt as
#   cmake -DCHMCMD=... -DPAGES=<language folder> -DSHARED=<help folder>
#         -DSTAGE=<work folder> -DPROJECT=<name>.hhp -DOUTPUT=<file>.chm -P CompileHelp.cmake
# The language folder becomes the root of the compiled help: its pages, project,
# contents and index are copied into STAGE together with the shared stylesheet
# and the images/ folder, chmcmd compiles STAGE/PROJECT there, and the result is
# copied to OUTPUT. chmcmd reports broken project files and anchors as "Error:"
# lines but still ends with status 0, so those lines fail the build here.

foreach(argument CHMCMD PAGES SHARED STAGE PROJECT OUTPUT)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "CompileHelp.cmake: -D${argument}=... is missing")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${PAGES}/ DESTINATION ${STAGE})
file(COPY ${SHARED}/vandrel.css DESTINATION ${STAGE})
if(IS_DIRECTORY ${SHARED}/images)
  file(COPY ${SHARED}/images DESTINATION ${STAGE})
endif()

get_filename_component(compiled ${OUTPUT} NAME)
file(REMOVE ${STAGE}/${compiled})
execute_process(
  COMMAND ${CHMCMD} ${PROJECT}
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

string(REGEX MATCHALL "(Error|Warning):[^\n]*" reports "${output}")
set(errors "")
foreach(report IN LISTS reports)
  if(report MATCHES "^Error:")
    string(APPEND errors "  ${report}\n")
  else()
    # A picture that is not there yet (the screenshot) is worth a word, not a failure.
    message(WARNING "${compiled}: chmcmd: ${report}")
  endif()
endforeach()

if(NOT status EQUAL 0 OR NOT errors STREQUAL "" OR NOT EXISTS ${STAGE}/${compiled})
  message(FATAL_ERROR "chmcmd could not compile ${PAGES}/${PROJECT} into ${compiled} "
                      "(exit status ${status}):\n${errors}${output}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
file(COPY_FILE ${STAGE}/${compiled} ${OUTPUT})
