# One interface target carries the language level, the Qt strictness defines,
# the warnings and the sanitizers; every target of the project links it.
add_library(morvalen_options INTERFACE)

target_compile_features(morvalen_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_definitions(morvalen_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER
    MORVALEN_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    MORVALEN_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    MORVALEN_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    MORVALEN_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}
)

target_compile_options(morvalen_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
)
if(MORVALEN_WERROR)
    target_compile_options(morvalen_options INTERFACE -Werror)
endif()

if(MORVALEN_SANITIZE)
    target_compile_options(morvalen_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(morvalen_options INTERFACE -fsanitize=address,undefined)
endif()

# The test script builds with CMAKE_UNITY_BUILD, a target's files in a few translation units;
# GCC then takes a test fixture in an anonymous namespace for a type used in another file.
if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(morvalen_options INTERFACE -Wno-subobject-linkage)
endif()
