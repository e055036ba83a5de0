# The project's licence, read from LICENSE, its one source: QUORVANE_LICENCE_NAME (its title line,
# "MIT License"), QUORVANE_COPYRIGHT (its copyright line) and QUORVANE_COPYRIGHT_NOTICE (the years
# and holder it names), and QUORVANE_LICENCE_GRANT (the text from the grant on). A change to LICENSE
# configures again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence_text)
string(REGEX MATCH "^[^\n]+" QUORVANE_LICENCE_NAME "${licence_text}")
string(REGEX MATCH "\nCopyright \\(c\\) ([^\n]+)" QUORVANE_COPYRIGHT "${licence_text}")
set(QUORVANE_COPYRIGHT_NOTICE "${CMAKE_MATCH_1}")  # years and holder
string(STRIP "${QUORVANE_COPYRIGHT}" QUORVANE_COPYRIGHT)
string(FIND "${licence_text}" "\nPermission is hereby granted" grant_start)
if(QUORVANE_LICENCE_NAME STREQUAL "" OR QUORVANE_COPYRIGHT_NOTICE STREQUAL "" OR grant_start LESS 0)
  message(FATAL_ERROR "LICENSE: no title line, \"Copyright (c) YEARS HOLDER\" line or grant")
endif()
string(SUBSTRING "${licence_text}" ${grant_start} -1 QUORVANE_LICENCE_GRANT)
string(STRIP "${QUORVANE_LICENCE_GRANT}" QUORVANE_LICENCE_GRANT)
