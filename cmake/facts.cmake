# The release the build makes: the newest entry of packaging/changelog must be this project's
# version, and its date is the release date the man pages and the AppStream file show. A bump
# of project(VERSION) with a new changelog entry therefore reaches them with no other edit.
set(HUEWRIGHT_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${HUEWRIGHT_CHANGELOG} ${PROJECT_SOURCE_DIR}/LICENSE)
file(STRINGS ${HUEWRIGHT_CHANGELOG} changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^huewright \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog begins '${changelog_top}', not version ${PROJECT_VERSION}")
endif()
# The entry's trailer: " -- Name <address>  Wed, 09 Dec 2026 12:00:00 +0000".
file(STRINGS ${HUEWRIGHT_CHANGELOG} changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT changelog_trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "packaging/changelog: no date in the newest entry's trailer '${changelog_trailer}'")
endif()
set(release_day ${CMAKE_MATCH_1})
set(release_year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} release_month)
math(EXPR release_month "${release_month} + 1")
if(release_month EQUAL 0)
    message(FATAL_ERROR "packaging/changelog: no month in '${changelog_trailer}'")
endif()
string(LENGTH "${release_day}" release_day_digits)
if(release_day_digits EQUAL 1)
    set(release_day 0${release_day})
endif()
if(release_month LESS 10)
    set(release_month 0${release_month})
endif()
set(HUEWRIGHT_RELEASE_DATE ${release_year}-${release_month}-${release_day})

# AppStream names the developer by the app id's domain part.
string(REGEX REPLACE "\\.[^.]+$" "" HUEWRIGHT_DEVELOPER_ID ${HUEWRIGHT_APP_ID})

# The licence text is the one file that states the copyright without the build: it must agree.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright_line REGEX "^Copyright " LIMIT_COUNT 1)
if(NOT copyright_line STREQUAL "Copyright (c) ${HUEWRIGHT_COPYRIGHT_YEAR} ${HUEWRIGHT_PUBLISHER}")
    message(FATAL_ERROR "LICENSE says '${copyright_line}', not ${HUEWRIGHT_COPYRIGHT_YEAR} ${HUEWRIGHT_PUBLISHER}")
endif()

# The same facts for the test scripts, as shell assignments (Python reads them with shlex).
set(HUEWRIGHT_FACTS ${PROJECT_BINARY_DIR}/huewright-facts.env)
file(CONFIGURE OUTPUT ${HUEWRIGHT_FACTS} @ONLY CONTENT [[
# Written by CMake from project() and the root CMakeLists.txt; the tests read it.
HUEWRIGHT_NAME="@HUEWRIGHT_DISPLAY_NAME@"
HUEWRIGHT_VERSION="@PROJECT_VERSION@"
HUEWRIGHT_APP_ID="@HUEWRIGHT_APP_ID@"
HUEWRIGHT_PUBLISHER="@HUEWRIGHT_PUBLISHER@"
HUEWRIGHT_COPYRIGHT_YEAR="@HUEWRIGHT_COPYRIGHT_YEAR@"
HUEWRIGHT_RELEASE_DATE="@HUEWRIGHT_RELEASE_DATE@"
]])
