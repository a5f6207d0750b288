# Writes a man page for a command from its --help text, so the page always
# lists the options the command has.
#
#   cmake -DCOMMAND=path/to/tool -DNAME=tool -DSUMMARY="one line" -DVERSION=1.0
#         [-DEXTRA=file.roff] -DOUTPUT=tool.1 -P ManPageFromHelp.cmake
#
# The help is read in the layout CLI11 prints: a description line, a
# "Usage:" line, then sections ("Positionals:", "Options:") of two-space
# indented entries whose description follows after two or more blanks or on
# the next, more deeply indented line. EXTRA, if given, is appended as it is
# (sections such as EXIT STATUS). Lines after the options are kept as
# paragraphs; one that starts "Exit status:" becomes that section.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${COMMAND} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${COMMAND} --help failed: ${status}")
endif()

# Text for roff: backslashes escaped, a leading dot or quote kept literal.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
roff_text(summary "${SUMMARY}")
set(page ".TH ${title} 1 \"\" \"${NAME} ${VERSION}\" \"User Commands\"\n.SH NAME\n${NAME} \\- ${summary}\n")

string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(description "")
set(section "")
set(entry_names "")
set(entry_text "")
set(body "")

macro(flush_entry)
  if(NOT entry_names STREQUAL "")
    roff_text(names "${entry_names}")
    roff_text(text "${entry_text}")
    string(APPEND body ".TP\n.B ${names}\n${text}\n")
    set(entry_names "")
    set(entry_text "")
  endif()
endmacro()

foreach(line IN LISTS lines)
  if(line MATCHES "^Usage: (.*)$")
    roff_text(usage "${CMAKE_MATCH_1}")
    string(APPEND page ".SH SYNOPSIS\n${usage}\n")
  elseif(line MATCHES "^([A-Za-z][A-Za-z ]*):$")
    flush_entry()
    string(TOUPPER "${CMAKE_MATCH_1}" section)
    if(section STREQUAL "POSITIONALS")
      set(section "ARGUMENTS")
    endif()
    string(APPEND body ".SH ${section}\n")
  elseif(line MATCHES "^  ([^ ].*)$" AND NOT section STREQUAL "")
    set(rest "${CMAKE_MATCH_1}")
    flush_entry()
    if(rest MATCHES "^([^ ]+( [^ ]+)*)  +(.*)$")
      set(entry_names "${CMAKE_MATCH_1}")
      set(entry_text "${CMAKE_MATCH_3}")
    else()
      set(entry_names "${rest}")
    endif()
  elseif(line MATCHES "^ +(.*)$" AND NOT entry_names STREQUAL "")
    # a description on a line of its own under its names, or its next line
    if(NOT entry_text STREQUAL "")
      string(APPEND entry_text " ")
    endif()
    string(APPEND entry_text "${CMAKE_MATCH_1}")
  elseif(NOT line STREQUAL "" AND section STREQUAL "" AND description STREQUAL "")
    roff_text(description "${line}")
  elseif(NOT line STREQUAL "" AND NOT section STREQUAL "")
    # a footer paragraph; "Exit status: ..." becomes a section of its own
    flush_entry()
    if(line MATCHES "^([A-Z][A-Za-z ]*): (.+)$")
      string(TOUPPER "${CMAKE_MATCH_1}" footer)
      roff_text(text "${CMAKE_MATCH_2}")
      string(APPEND body ".SH ${footer}\n${text}\n")
    else()
      roff_text(text "${line}")
      string(APPEND body ".PP\n${text}\n")
    endif()
  endif()
endforeach()
flush_entry()

string(APPEND page ".SH DESCRIPTION\n${description}\n${body}")
if(EXTRA)
  file(READ ${EXTRA} extra)
  string(APPEND page "${extra}")
endif()
file(WRITE ${OUTPUT} "${page}")
