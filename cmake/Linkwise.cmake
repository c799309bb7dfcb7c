# Shared build rules: warnings, sanitizers, and the one-library-per-folder layout.

add_library(linkwise_options INTERFACE)
target_compile_options(linkwise_options INTERFACE -Wall -Wextra -Werror)
# Nothing of ours is a shared library: no symbol needs exporting, and every
# function and object in a section of its own lets the linker drop what the
# program never calls. Both make the binary smaller and quicker to load.
target_compile_options(linkwise_options INTERFACE
  -fvisibility=hidden -fvisibility-inlines-hidden -ffunction-sections -fdata-sections)
if(LINKWISE_SANITIZE)
  target_compile_options(linkwise_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(linkwise_options INTERFACE -fsanitize=address,undefined)
endif()

# linkwise_library(<folder> [DEPS <targets>...])
# Builds src/<folder> as the static library linkwise_<folder> from every .cpp and .h in it.
function(linkwise_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(linkwise_${folder} STATIC ${sources})
    set(scope PUBLIC)
  else()
    # A folder with no code yet still takes part in the layering.
    add_library(linkwise_${folder} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(linkwise_${folder} ${scope} ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(linkwise_${folder} ${scope} linkwise_options ${ARG_DEPS})
endfunction()

# linkwise_tests(<folder> [DEPS <targets>...])
# Every tests/<folder>/tst_*.cpp becomes one Qt Test executable and one CTest test.
function(linkwise_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE linkwise_${folder} linkwise_testsupport Qt6::Test ${ARG_DEPS})
    add_test(NAME ${folder}/${name} COMMAND ${name})
    set_tests_properties(${folder}/${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LINKWISE_BUILD_DIR=${PROJECT_BINARY_DIR};LINKWISE_SOURCE_DIR=${PROJECT_SOURCE_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
      TIMEOUT 300)
  endforeach()
endfunction()
