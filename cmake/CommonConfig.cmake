# Settings every target of the project shares: language level, warnings, the ban on
# implicit 8-bit string casts (every Shift-JIS decode and every literal is explicit),
# and the sanitizers of the test preset.
add_library(mirai_common INTERFACE)
target_compile_features(mirai_common INTERFACE cxx_std_20)
target_compile_options(mirai_common INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_compile_definitions(mirai_common INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_KEYWORDS)

if(MIRAI_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()
