# One precompiled header of the framework's module headers, built once and
# reused by every library, test and benchmark target: most of a small source
# file's compile time is spent parsing these headers.
option(ZUND_PCH "Precompile the framework headers" ON)

set(ZUND_COMPILE_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(ZUND_PCH)
    file(WRITE "${PROJECT_BINARY_DIR}/zund_pch.cpp" "// the precompiled header's own translation unit\n")
    add_library(zund_pch OBJECT "${PROJECT_BINARY_DIR}/zund_pch.cpp")
    target_link_libraries(zund_pch PRIVATE zund_juce)
    target_compile_options(zund_pch PRIVATE ${ZUND_COMPILE_WARNINGS})
    target_precompile_headers(zund_pch PRIVATE
        <juce_core/juce_core.h>
        <juce_events/juce_events.h>
        <juce_data_structures/juce_data_structures.h>
        <juce_graphics/juce_graphics.h>
        <juce_gui_basics/juce_gui_basics.h>
        <juce_gui_extra/juce_gui_extra.h>
        <juce_audio_basics/juce_audio_basics.h>
        <juce_audio_formats/juce_audio_formats.h>
        <juce_audio_devices/juce_audio_devices.h>
        <juce_audio_processors/juce_audio_processors.h>
        <juce_audio_utils/juce_audio_utils.h>
        <algorithm> <atomic> <cmath> <functional> <memory> <mutex> <string> <thread> <vector>)
endif()

# zund_use_pch(<target>): the target's sources see the shared header first.
function(zund_use_pch target)
    target_compile_options(${target} PRIVATE ${ZUND_COMPILE_WARNINGS})
    if(ZUND_PCH)
        target_precompile_headers(${target} REUSE_FROM zund_pch)
    endif()
endfunction()
