# The day of this version's release, YYYY-MM-DD, as LCD_RELEASE_DAY: that of
# its entry in CHANGELOG.md, which must exist. The manual pages and the
# packages' changelog carry it, so that a build made again is the same.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md lcd_release
  REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9]+-[0-9]+-[0-9]+$")
if(NOT lcd_release)
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${PROJECT_VERSION}] - YYYY-MM-DD\" "
                      "for the version of project()")
endif()
string(REGEX REPLACE ".* - " "" LCD_RELEASE_DAY "${lcd_release}")
