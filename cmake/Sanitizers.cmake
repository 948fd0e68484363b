# Sanitizer builds apply to every target, the JUCE modules included, so that
# a fault inside a framework call made with our data is caught too.
if(ZUND_SANITIZE AND ZUND_TSAN)
    message(FATAL_ERROR "ZUND_SANITIZE and ZUND_TSAN cannot be combined")
endif()

if(ZUND_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(ZUND_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
