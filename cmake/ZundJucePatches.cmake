# zund_juce compiles juce_core from a patched copy: the framework's folder
# listing writes past a String's buffer for names that are not UTF-8, and its
# file choosers list folders with it. Only the module's unity source and the
# patched file are copied into the build tree; the copy's other includes, the
# headers among them, still come from the installed modules, so every other
# module sees the same juce_core.

find_program(ZUND_PATCH_PROGRAM patch)
if(NOT ZUND_PATCH_PROGRAM)
    message(FATAL_ERROR "The program 'patch' is missing (Debian package 'patch'); "
                        "it applies cmake/patches/ to the framework's sources.")
endif()

set(ZUND_JUCE_CORE_PATCH "${PROJECT_SOURCE_DIR}/cmake/patches/juce-core-listing-skips-unholdable-names.patch")
set(ZUND_JUCE_COPIED_FILES juce_core/juce_core.cpp juce_core/native/juce_linux_CommonFile.cpp)
set(ZUND_PATCHED_MODULES "${PROJECT_BINARY_DIR}/juce_patched")

# Patched in a scratch folder, then copied only where the result differs, so a
# re-configure does not make the framework compile again.
set(scratch "${PROJECT_BINARY_DIR}/CMakeFiles/juce_patching")
file(REMOVE_RECURSE "${scratch}")
foreach(file IN LISTS ZUND_JUCE_COPIED_FILES)
    get_filename_component(folder "${scratch}/${file}" DIRECTORY)
    file(COPY "${JUCE_MODULES_DIR}/${file}" DESTINATION "${folder}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${JUCE_MODULES_DIR}/${file}")
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ZUND_JUCE_CORE_PATCH}")

# No fuzz: a patch that only fits loosely may land in the wrong place.
execute_process(
    COMMAND "${ZUND_PATCH_PROGRAM}" --batch --forward --fuzz=0 --no-backup-if-mismatch --reject-file=- -p1
            --input "${ZUND_JUCE_CORE_PATCH}"
    WORKING_DIRECTORY "${scratch}"
    RESULT_VARIABLE patch_result
    OUTPUT_VARIABLE patch_output
    ERROR_VARIABLE patch_output)
if(NOT patch_result EQUAL 0)
    message(FATAL_ERROR "cmake/patches/juce-core-listing-skips-unholdable-names.patch no longer applies "
                        "to juce_core in ${JUCE_MODULES_DIR} (JUCE ${JUCE_VERSION}): its sources differ "
                        "from those of JUCE 7.0.5 the patch was made for. Remake the patch for them.\n${patch_output}")
endif()

foreach(file IN LISTS ZUND_JUCE_COPIED_FILES)
    get_filename_component(folder "${ZUND_PATCHED_MODULES}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${scratch}/${file}" "${ZUND_PATCHED_MODULES}/${file}" ONLY_IF_DIFFERENT)
endforeach()
file(REMOVE_RECURSE "${scratch}")

# The installed unity source is left out and the copy compiled instead. Its
# quoted includes are looked up beside the copy first (the patched file), then
# in the installed module; the patch includes the program's header-only rule.
set_source_files_properties("${JUCE_MODULES_DIR}/juce_core/juce_core.cpp" PROPERTIES HEADER_FILE_ONLY ON)
target_sources(zund_juce PRIVATE "${ZUND_PATCHED_MODULES}/juce_core/juce_core.cpp")
set_source_files_properties("${ZUND_PATCHED_MODULES}/juce_core/juce_core.cpp" PROPERTIES
    COMPILE_OPTIONS "-iquote;${JUCE_MODULES_DIR}/juce_core;-iquote;${PROJECT_SOURCE_DIR}/src")
