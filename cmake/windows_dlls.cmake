# SPDX-License-Identifier: MIT
# A cross-built Windows program finds its DLLs in its own folder: after each link, the
# ones it needs from the mingw-w64 tree are copied next to it.
function(lumo_collect_dlls target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/collect-dlls $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
