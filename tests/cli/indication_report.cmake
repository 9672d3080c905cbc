# Writes the indication report of a recording with the command-line tool and
# checks it page by page: one summary page, then for each indication the
# report page of its peak frame, rendered to the same pixels as the report
# that `sonalyt-cli report FILE R F` writes of that frame.
#   -DCLI=sonalyt-cli -DPDFTOPPM=pdftoppm -DPDFINFO=pdfinfo -DRECORDING=FILE
#   -DOUT=directory "-DOPTIONS=--threshold;20"
file(MAKE_DIRECTORY ${OUT})

execute_process(COMMAND ${CLI} indications ${RECORDING} ${OPTIONS}
                OUTPUT_VARIABLE json RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "indications failed: ${result}")
endif()
string(JSON count LENGTH "${json}" indications)

execute_process(COMMAND ${CLI} report ${RECORDING} --indications ${OPTIONS} -o ${OUT}/all.pdf
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "report --indications failed: ${result}")
endif()
execute_process(COMMAND ${PDFINFO} ${OUT}/all.pdf OUTPUT_VARIABLE info)
string(REGEX MATCH "Pages: +([0-9]+)" _ "${info}")
math(EXPR expected "${count} + 1")
if(NOT CMAKE_MATCH_1 EQUAL expected)
  message(FATAL_ERROR "${count} indications gave ${CMAKE_MATCH_1} pages, expected ${expected}")
endif()

if(count GREATER 0)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON record GET "${json}" indications ${i} PeakRecord)
    string(JSON frame GET "${json}" indications ${i} PeakFrame)
    execute_process(COMMAND ${CLI} report ${RECORDING} ${record} ${frame} -o ${OUT}/frame${i}.pdf
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "report of ${record}/${frame} failed: ${result}")
    endif()
    math(EXPR page "${i} + 2")
    execute_process(COMMAND ${PDFTOPPM} -r 96 -png -singlefile -f ${page} -l ${page}
                            ${OUT}/all.pdf ${OUT}/page${i})
    execute_process(COMMAND ${PDFTOPPM} -r 96 -png -singlefile ${OUT}/frame${i}.pdf ${OUT}/frame${i})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/page${i}.png
                            ${OUT}/frame${i}.png RESULT_VARIABLE same)
    if(NOT same EQUAL 0)
      message(FATAL_ERROR "page ${page} differs from the report of record ${record} frame ${frame}")
    endif()
  endforeach()
endif()
