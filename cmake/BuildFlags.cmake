# Compiler settings every target of the project links against (never global flags).
add_library(qpv_build_flags INTERFACE)
target_compile_features(qpv_build_flags INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(qpv_build_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wsign-conversion -Wold-style-cast)
if(QPV_WERROR)
    target_compile_options(qpv_build_flags INTERFACE -Werror)
endif()

if(QPV_SANITIZE)
    set(qpv_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                           -fno-omit-frame-pointer)
    target_compile_options(qpv_build_flags INTERFACE ${qpv_sanitize_flags})
    target_link_options(qpv_build_flags INTERFACE ${qpv_sanitize_flags})
endif()
