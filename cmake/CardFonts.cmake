# Card fonts: CardArial, CardCourier, CardTimes and CardFootlight.
#
# These are generated at build time from fonts in Debian packages
# (fonts-liberation2, fonts-dejavu-core) by tools/make_card_fonts.py, which
# maps the characters } { ] [ to the fonts' own suit glyphs and renames the
# result as the fonts' licences require. Generating rather than committing
# them keeps binary font files out of the repository and always pairs the
# fonts with the licence text of the exact package they were derived from.
#
# Include this after ZQW_PROGRAM_DIR is set. It defines:
#   target card_fonts         (part of ALL) builds everything below
#   ZQW_CARD_FONT_FILES       the four generated .ttf files
#   ZQW_CARD_FONT_AUX_FILES   the licence texts and README shipped beside them
#   ZQW_FONT_PYTHON           (cache) interpreter with fontTools

if(NOT DEFINED ZQW_PROGRAM_DIR OR ZQW_PROGRAM_DIR STREQUAL "")
  message(FATAL_ERROR "CardFonts.cmake: set ZQW_PROGRAM_DIR before including this file")
endif()

# Debian's own interpreter: a python3 found first on PATH may be a separate
# build that cannot import Debian's python3-fonttools.
find_program(ZQW_FONT_PYTHON
  NAMES python3
  PATHS /usr/bin
  NO_DEFAULT_PATH
  DOC "Python 3 interpreter that can import fontTools, used to build the card fonts")
if(NOT ZQW_FONT_PYTHON)
  message(FATAL_ERROR
    "CardFonts.cmake: /usr/bin/python3 not found; install python3 and "
    "python3-fonttools, or set -DZQW_FONT_PYTHON=/path/to/python3")
endif()

get_filename_component(_zqw_card_font_script
  "${CMAKE_CURRENT_LIST_DIR}/../tools/make_card_fonts.py" ABSOLUTE)

# Fail at configure time, with the script's own explanation, rather than
# half-way through the build if fontTools or a source font is missing. The
# same call tells us which files the fonts are made from, so that a package
# upgrade regenerates them.
execute_process(
  COMMAND "${ZQW_FONT_PYTHON}" "${_zqw_card_font_script}" --check
  RESULT_VARIABLE _zqw_card_font_rc
  OUTPUT_VARIABLE _zqw_card_font_inputs
  ERROR_VARIABLE _zqw_card_font_err
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_STRIP_TRAILING_WHITESPACE)
if(NOT _zqw_card_font_rc EQUAL 0)
  message(FATAL_ERROR
    "CardFonts.cmake: cannot build the card fonts with ${ZQW_FONT_PYTHON}:\n"
    "${_zqw_card_font_err}")
endif()
string(REPLACE "\n" ";" _zqw_card_font_inputs "${_zqw_card_font_inputs}")
# The input list lives in the script; re-run that check when it changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_zqw_card_font_script}")

set(ZQW_CARD_FONT_FILES
  "${ZQW_PROGRAM_DIR}/cardaral.ttf"
  "${ZQW_PROGRAM_DIR}/cardcour.ttf"
  "${ZQW_PROGRAM_DIR}/cardtime.ttf"
  "${ZQW_PROGRAM_DIR}/cardfoot.ttf")
set(ZQW_CARD_FONT_AUX_FILES
  "${ZQW_PROGRAM_DIR}/LICENSE-cardfonts-liberation.txt"
  "${ZQW_PROGRAM_DIR}/LICENSE-cardfonts-dejavu.txt"
  "${ZQW_PROGRAM_DIR}/README-cardfonts.txt")

add_custom_command(
  OUTPUT ${ZQW_CARD_FONT_FILES} ${ZQW_CARD_FONT_AUX_FILES}
  COMMAND "${ZQW_FONT_PYTHON}" "${_zqw_card_font_script}" "${ZQW_PROGRAM_DIR}"
  DEPENDS "${_zqw_card_font_script}" ${_zqw_card_font_inputs}
  COMMENT "Generating card fonts in ${ZQW_PROGRAM_DIR}"
  VERBATIM)

add_custom_target(card_fonts ALL
  DEPENDS ${ZQW_CARD_FONT_FILES} ${ZQW_CARD_FONT_AUX_FILES})

unset(_zqw_card_font_rc)
unset(_zqw_card_font_err)
unset(_zqw_card_font_inputs)
unset(_zqw_card_font_script)
