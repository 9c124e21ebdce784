# Writes the Debian changelog of the package from CHANGELOG.md:
#   cmake -DCHANGES=CHANGELOG.md -DOUT=changelog -DPACKAGE=fdpreserve -DVERSION=1.0.0
#         "-DMAINTAINER=Name <address>" -P cmake/DebianChangelog.cmake
# Each release, a heading "## VERSION (YYYY-MM-DD)" with "- " items under it (continued on lines
# indented by two blanks), becomes one entry. "## Unreleased" stays out: the package holds released
# versions only. The newest release must be VERSION, or the package and its changelog would
# disagree about what the package is.
#
# The text is only ever searched, never split into a CMake list, so ';' and '[' stay as written.
foreach(argument CHANGES OUT PACKAGE VERSION MAINTAINER)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "usage: cmake -DCHANGES=CHANGELOG.md -DOUT=changelog -DPACKAGE=name "
                        "-DVERSION=x.y.z \"-DMAINTAINER=Name <address>\" -P DebianChangelog.cmake")
  endif()
endforeach()

# Lintian's width for a changelog line; an item gains two columns on its way there.
set(width 80)

# "Tue, 08 Dec 2026 00:00:00 +0000": the day at midnight UTC, as a Debian changelog dates an entry.
function(debian_date year month day out)
  math(EXPR m "${month}")
  math(EXPR d "${day}")
  if(m LESS 1 OR m GREATER 12 OR d LESS 1 OR d GREATER 31)
    message(FATAL_ERROR "${CHANGES}: ${year}-${month}-${day} is not a date")
  endif()
  # Sakamoto's method for the day of the week (0 is a Sunday): January and February count as the
  # last months of the year before.
  set(monthOffsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR monthIndex "${m} - 1")
  list(GET monthOffsets ${monthIndex} offset)
  set(y ${year})
  if(m LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekdayName)
  list(GET months ${monthIndex} monthName)
  set(${out} "${weekdayName}, ${day} ${monthName} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# Appends to `entries` the entry of one release, from its heading's text and the lines under it.
function(add_entry heading body)
  set(digit "[0-9]")
  set(datePattern "(${digit}${digit}${digit}${digit})-(${digit}${digit})-(${digit}${digit})")
  if(NOT heading MATCHES "^(${digit}[0-9A-Za-z.+~]*) \\(${datePattern}\\)$")
    message(FATAL_ERROR "${CHANGES}: \"## ${heading}\" is neither \"## Unreleased\" nor a release, "
                        "\"## VERSION (YYYY-MM-DD)\"")
  endif()
  set(release ${CMAKE_MATCH_1})
  debian_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} date)
  if(NOT entries AND NOT release STREQUAL VERSION)
    message(FATAL_ERROR "${CHANGES}: the newest release is ${release}, but the project's "
                        "version is ${VERSION}: give the version its section")
  endif()

  string(STRIP "${body}" body)
  set(body "\n${body}")
  if(NOT body MATCHES "\n- ")
    message(FATAL_ERROR "${CHANGES}: ${release} lists no change")
  endif()
  if(body MATCHES "\n([^ \n-]|-[^ ]| [^ ])[^\n]*")
    string(STRIP "${CMAKE_MATCH_0}" line)
    message(FATAL_ERROR "${CHANGES}, under ${release}: \"${line}\" is neither an item (\"- \") nor "
                        "the continuation of one (two blanks)")
  endif()
  string(REPLACE "\n  " "\n    " body "${body}")
  string(REPLACE "\n- " "\n  * " body "${body}")
  string(REPEAT "[^\n]" ${width} full)
  if(body MATCHES "\n(${full}[^\n]+)")
    math(EXPR markdownWidth "${width} - 2")
    message(FATAL_ERROR "${CHANGES}, under ${release}: wrap the items at ${markdownWidth} columns, "
                        "for the package's changelog; this line is longer:\n${CMAKE_MATCH_1}")
  endif()

  string(APPEND entries "${PACKAGE} (${release}) unstable; urgency=medium\n${body}\n\n"
                        " -- ${MAINTAINER}  ${date}\n\n")
  set(entries "${entries}" PARENT_SCOPE)
endfunction()

file(READ "${CHANGES}" rest)
# With a line feed in front, every heading is found as "\n## ", the first one too.
set(rest "\n${rest}")
set(entries "")
string(FIND "${rest}" "\n## " start)
while(NOT start EQUAL -1)
  math(EXPR start "${start} + 4")
  string(SUBSTRING "${rest}" ${start} -1 rest)
  string(FIND "${rest}" "\n## " start)
  set(section "${rest}")
  if(NOT start EQUAL -1)
    string(SUBSTRING "${rest}" 0 ${start} section)
  endif()
  string(FIND "${section}" "\n" headingEnd)
  set(heading "${section}")
  set(body "")
  if(NOT headingEnd EQUAL -1)
    string(SUBSTRING "${section}" 0 ${headingEnd} heading)
    string(SUBSTRING "${section}" ${headingEnd} -1 body)
  endif()
  string(STRIP "${heading}" heading)
  if(NOT heading STREQUAL "Unreleased")
    add_entry("${heading}" "${body}")
  endif()
endwhile()
if(NOT entries)
  message(FATAL_ERROR "${CHANGES}: no release, \"## VERSION (YYYY-MM-DD)\", to make a changelog of")
endif()

# One blank line between entries, none after the last.
string(REGEX REPLACE "\n+$" "\n" entries "${entries}")
file(WRITE "${OUT}" "${entries}")
