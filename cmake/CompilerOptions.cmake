add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(LUMAVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# GCC 12's flow warnings misfire on libstdc++'s own std::string and std::variant code once it
# is inlined at -O2 (known compiler bugs); the sanitizer build checks these at run time.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict -Wno-stringop-overflow -Wno-maybe-uninitialized)
endif()
