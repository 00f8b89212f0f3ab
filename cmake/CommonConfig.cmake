# Flags shared by every target of the project, linked PRIVATE.
add_library(scrivo_common INTERFACE)
target_compile_options(scrivo_common INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(scrivo_common INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    SCRIVO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    SCRIVO_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    SCRIVO_VERSION_RELEASE=${PROJECT_VERSION_PATCH}
    SCRIVO_VERSION_BUILD=${PROJECT_VERSION_TWEAK})
if(SCRIVO_SANITIZE)
    target_compile_options(scrivo_common INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(scrivo_common INTERFACE -fsanitize=address,undefined)
endif()
# The fuzz build (scripts/fuzz, clang): every library instrumented for libFuzzer's
# coverage, with the sanitizers that turn a fault into a crash.
if(SCRIVO_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
