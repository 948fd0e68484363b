# The JUCE modules are compiled once, into zund_juce; every other target links
# it and gets the modules' include paths and definitions from it.

pkg_check_modules(ZUND_CODECS REQUIRED IMPORTED_TARGET
    vorbis vorbisfile vorbisenc ogg flac libpng libjpeg zlib)

add_library(zund_juce STATIC)

target_link_libraries(zund_juce
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
        juce::juce_audio_basics
        juce::juce_audio_devices
        juce::juce_audio_formats
        juce::juce_audio_processors
        juce::juce_audio_utils
    PUBLIC
        juce::juce_recommended_config_flags
        PkgConfig::ZUND_CODECS
        Threads::Threads
        ${CMAKE_DL_LIBS})

target_compile_definitions(zund_juce
    PUBLIC
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_STANDALONE_APPLICATION=1
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_JACK=1
        JUCE_JACK_CLIENT_NAME="Zund"
        JUCE_ALSA=1
        JUCE_PLUGINHOST_VST3=1
        JUCE_PLUGINHOST_LV2=1
        JUCE_USE_MP3AUDIOFORMAT=0
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=0
        JUCE_USE_FLAC=1
        JUCE_USE_OGGVORBIS=1
    INTERFACE
        $<TARGET_PROPERTY:zund_juce,COMPILE_DEFINITIONS>)

target_include_directories(zund_juce
    INTERFACE $<TARGET_PROPERTY:zund_juce,INCLUDE_DIRECTORIES>)

include(cmake/ZundJucePatches.cmake)

set_target_properties(zund_juce PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    VISIBILITY_INLINES_HIDDEN ON
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden)
