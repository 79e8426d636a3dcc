# Starts the real program on the default database beside it (offscreen), lets it
# load and show its window, and checks that it opened the database writable.
if(NOT EXISTS "${BIN}/poem.mdb")
  file(COPY_FILE "${DB}" "${BIN}/poem.mdb")
endif()
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
file(REMOVE_RECURSE "${WORK}/config")
execute_process(COMMAND "${BIN}/lyrabook" --quit-after-ms 1000
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 60)
message(STATUS "${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lyrabook exited with ${rc}: ${err}")
endif()
if(NOT out MATCHES "caption=蓝溪诗汇 \n" OR NOT out MATCHES "writemode=1")
  message(FATAL_ERROR "unexpected start-up: ${out}")
endif()
