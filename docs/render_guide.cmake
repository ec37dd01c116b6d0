# Renders the user guide into one HTML file with its stylesheet inlined:
#   cmake -DCMARK=... -DSOURCE=guide.md -DSTYLE=guide.css -DOUTPUT=lumox-guide.html -P render_guide.cmake
# The table extension renders the guide's control tables; --unsafe keeps its
# <a id> anchors, which the settings pages open.
execute_process(COMMAND ${CMARK} -e table --unsafe --smart ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmark failed on ${SOURCE}")
endif()
file(READ ${STYLE} style)
file(WRITE ${OUTPUT}.tmp
  "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
  "<title>Lumox user guide</title>\n<style>\n${style}</style>\n</head>\n<body>\n"
  "${body}</body>\n</html>\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
