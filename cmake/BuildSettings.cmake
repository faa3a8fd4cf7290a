# One settings target every target of ours links: language level, warnings as
# errors, and floating-point rules that keep results identical on every build.
add_library(harmovia_settings INTERFACE)
target_compile_features(harmovia_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(harmovia_settings INTERFACE
  -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  # No fused multiply-add: a mood must not depend on the compiler's choice.
  -ffp-contract=off)
# GCC 12 at -O3 reports a false -Wrestrict inside libstdc++'s operator+(const char*,
# std::string&&) (GCC bug 105651, fixed in 13); every "text" + string in the program would
# break a packager's Release build. Only that compiler loses the warning.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(harmovia_settings INTERFACE -Wno-restrict)
endif()
target_compile_definitions(harmovia_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

if(HARMOVIA_SANITIZE)
  target_compile_options(harmovia_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(harmovia_settings INTERFACE -fsanitize=address,undefined)
endif()
