# The logic layer is plain C++: it must build and be tested without Qt, so a logic file that
# includes a Qt header fails the build rather than quietly pulling Qt into the models.
#
# Views live beside their models but belong to the views target: Qt widgets (*_dialog, *_view,
# *_pane, *_window), Qt item-model adapters (*_item_model) and other Qt glue (qt_*), and the
# program's main(). Platform implementations (src/platform/linux_*) belong to the platform
# target. Everything else under the logic folders, and the platform interface headers, is logic.

set(VANTOR_VIEW_PATTERN "(_(dialog|view|pane|window|item_model)\\.(h|cpp)|/qt_[^/]*\\.(h|cpp)|/ui/main\\.cpp)$")

function(vantor_collect out)
    set(result "")
    foreach(pattern IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${pattern}")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Adds a build step to TARGET that fails when one of FILES includes a Qt header.
function(vantor_forbid_qt target)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.noqt.stamp")
    string(REPLACE ";" "|" joined "${ARGN}")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DFILES=${joined}" "-DSTAMP=${stamp}"
                -P "${PROJECT_SOURCE_DIR}/cmake/check_no_qt.cmake"
        DEPENDS ${ARGN} "${PROJECT_SOURCE_DIR}/cmake/check_no_qt.cmake"
        COMMENT "Checking that ${target} includes no Qt header"
        VERBATIM)
    add_custom_target(${target}_noqt DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_noqt)
endfunction()
