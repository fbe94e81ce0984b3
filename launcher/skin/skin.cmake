# Skin of Tolv.exe: tools/art/make_skin.py draws the bitmaps into skin-res/ (with Skin.rc naming them) and writes
# the shipped layout files into skin/, which tools/drive.sh copies into the suite folder. It also fails the build
# when the checked-in launcher/skin/*.kpt no longer match its tables (a native test compares those files with
# the launcher's built-in values).
find_program(KELVO_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT KELVO_PYTHON3)
    message(FATAL_ERROR "python3 with Pillow is needed to draw the launcher's skin")
endif()

set(KELVO_SKIN_SCRIPT ${PROJECT_SOURCE_DIR}/tools/art/make_skin.py)
set(KELVO_SKIN_RES_DIR ${CMAKE_BINARY_DIR}/skin-res)
set(KELVO_SKIN_LAYOUT_DIR ${CMAKE_BINARY_DIR}/skin)
set(KELVO_SKIN_RC ${KELVO_SKIN_RES_DIR}/Skin.rc)
set(KELVO_SKIN_BITMAPS
    129_background 168_home 169_page_current 170_page_other 171_menu_store 172_menu_settings 173_menu_search
    174_menu_drive 182_exit 198_panel 199_button_cancel 201_button_ok 202_button_browse 203_caret 204_field
    205_folder 207_badge_update 209_shade 210_progress 214_installing 215_backup 216_document)
list(TRANSFORM KELVO_SKIN_BITMAPS PREPEND ${KELVO_SKIN_RES_DIR}/)
list(TRANSFORM KELVO_SKIN_BITMAPS APPEND .bmp)
set(KELVO_SKIN_LAYOUTS ${KELVO_SKIN_LAYOUT_DIR}/mainpoint.kpt ${KELVO_SKIN_LAYOUT_DIR}/pagepos.kpt
                       ${KELVO_SKIN_LAYOUT_DIR}/EditCtrlPoint.kpt)

add_custom_command(
    OUTPUT ${KELVO_SKIN_RC} ${KELVO_SKIN_BITMAPS} ${KELVO_SKIN_LAYOUTS} ${KELVO_SKIN_RES_DIR}/preview.png
    COMMAND ${KELVO_PYTHON3} ${KELVO_SKIN_SCRIPT} ${KELVO_SKIN_RES_DIR} ${KELVO_SKIN_RES_DIR}/preview.png
            --layout-dir ${KELVO_SKIN_LAYOUT_DIR} --rc ${KELVO_SKIN_RC}
            --check-layout ${CMAKE_CURRENT_LIST_DIR}
    DEPENDS ${KELVO_SKIN_SCRIPT} ${PROJECT_SOURCE_DIR}/tools/art/make_icons.py
            ${CMAKE_CURRENT_LIST_DIR}/mainpoint.kpt ${CMAKE_CURRENT_LIST_DIR}/pagepos.kpt
            ${CMAKE_CURRENT_LIST_DIR}/EditCtrlPoint.kpt
    COMMENT "Drawing the launcher skin"
    VERBATIM)

# windres sees the bitmaps only through Skin.rc, so the object must also be rebuilt when they change.
set_source_files_properties(${KELVO_SKIN_RC} PROPERTIES GENERATED TRUE OBJECT_DEPENDS "${KELVO_SKIN_BITMAPS}")
list(APPEND KELVO_LAUNCHER_RESOURCES ${KELVO_SKIN_RC})
# The layout files are not inputs of Tolv.exe; a separate target keeps them built with it.
add_custom_target(tolv_skin ALL DEPENDS ${KELVO_SKIN_RC} ${KELVO_SKIN_LAYOUTS})
