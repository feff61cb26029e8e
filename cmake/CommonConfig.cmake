# One target that carries the language level, warnings and Qt defines of
# every other target in the project.
add_library(tarabix_common INTERFACE)
target_compile_features(tarabix_common INTERFACE cxx_std_20)
target_compile_options(tarabix_common INTERFACE -Wall -Wextra -Wpedantic)
if(TARABIX_WERROR)
  target_compile_options(tarabix_common INTERFACE -Werror)
endif()
target_compile_definitions(tarabix_common INTERFACE
  QT_NO_KEYWORDS
  QT_NO_FOREACH
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_USE_QSTRINGBUILDER
  QT_STRICT_ITERATORS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(TARABIX_SANITIZE)
  target_compile_options(tarabix_common INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tarabix_common INTERFACE -fsanitize=address,undefined)
endif()
