# Trampolines for the libraries that are loaded on first use (lazy_library.h).
#
# zorv_lazy_library(TARGET ENUM NAME DEV_LIBRARY) reads NAME.symbols beside this file (one
# function a line) and makes TARGET define each of them as a hidden trampoline; nothing
# links DEV_LIBRARY (the linker's name, e.g. libSDL2.so), whose soname and Debian package
# are read here. zorv_lazy_libraries_done(TARGET) then writes the tables. On a machine
# other than x86-64 the libraries are linked as usual.

set(ZORV_LAZY_DIR ${CMAKE_CURRENT_LIST_DIR})
set_property(GLOBAL PROPERTY ZORV_LAZY_TABLES "")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(trampolines ON)
else()
  set(trampolines OFF)
endif()
option(ZORV_LAZY_TRAMPOLINES "Load the optional libraries on first use (x86-64 only)" ${trampolines})

# Writes only a changed file, so that a new configure rebuilds nothing.
function(zorv_lazy_write path content)
  if(EXISTS ${path})
    file(READ ${path} old)
    if(old STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE ${path} "${content}")
endfunction()

function(zorv_lazy_library target enum name dev)
  find_library(ZORV_LAZY_${name}_PATH NAMES ${dev} REQUIRED)
  if(NOT ZORV_LAZY_TRAMPOLINES)
    target_link_libraries(${target} PRIVATE ${ZORV_LAZY_${name}_PATH})
    return()
  endif()
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${ZORV_LAZY_${name}_PATH} OUTPUT_VARIABLE dynamic)
  if(NOT dynamic MATCHES "SONAME +([^\n ]+)")
    message(FATAL_ERROR "${ZORV_LAZY_${name}_PATH} has no soname")
  endif()
  set(soname ${CMAKE_MATCH_1})
  set(package "the one holding ${soname}")
  execute_process(COMMAND dpkg -S "*/${soname}" OUTPUT_VARIABLE owners ERROR_QUIET)
  if(owners MATCHES "^([^:\n]+)")
    set(package ${CMAKE_MATCH_1})
  endif()

  set(table ${ZORV_LAZY_DIR}/${name}.symbols)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(STRINGS ${table} symbols REGEX "^[A-Za-z_][A-Za-z0-9_]*$")
  set(slots zorv_lazy_${name}_slots)
  set(asm "# Generated from ${name}.symbols by lazy_libraries.cmake.\n\t.text\n")
  set(stubs "")
  set(initial "")
  set(names "")
  set(i 0)
  foreach(symbol IN LISTS symbols)
    math(EXPR offset "${i} * 8")
    string(APPEND asm "\t.globl ${symbol}\n\t.hidden ${symbol}\n\t.type ${symbol}, @function\n"
           "\t.p2align 3\n${symbol}:\n\tjmp *(${slots}+${offset})(%rip)\n"
           "\t.size ${symbol}, .-${symbol}\n")
    string(APPEND stubs ".Lfirst_${i}:\n\tmovl $${i}, %r11d\n\tjmp .Lresolve\n")
    string(APPEND initial "\t.quad .Lfirst_${i}\n")
    string(APPEND names "    \"${symbol}\",\n")
    math(EXPR i "${i} + 1")
  endforeach()
  # The first call of any trampoline: the argument registers (and %rax, the vector count of
  # a variadic call) are kept across the load, then the call goes on to the real function.
  string(APPEND asm "${stubs}.Lresolve:\n\t.cfi_startproc\n\tpushq %r11\n\t.cfi_adjust_cfa_offset 8\n"
         "\tsubq $192, %rsp\n\t.cfi_adjust_cfa_offset 192\n"
         "\tmovq %rdi, 0(%rsp)\n\tmovq %rsi, 8(%rsp)\n\tmovq %rdx, 16(%rsp)\n"
         "\tmovq %rcx, 24(%rsp)\n\tmovq %r8, 32(%rsp)\n\tmovq %r9, 40(%rsp)\n"
         "\tmovq %rax, 48(%rsp)\n")
  foreach(x RANGE 7)
    math(EXPR offset "64 + ${x} * 16")
    string(APPEND asm "\tmovdqu %xmm${x}, ${offset}(%rsp)\n")
  endforeach()
  string(APPEND asm "\tmovl zorv_lazy_${name}_id(%rip), %edi\n\tcall zorv_lazy_resolve\n")
  foreach(x RANGE 7)
    math(EXPR offset "64 + ${x} * 16")
    string(APPEND asm "\tmovdqu ${offset}(%rsp), %xmm${x}\n")
  endforeach()
  string(APPEND asm "\tmovq 0(%rsp), %rdi\n\tmovq 8(%rsp), %rsi\n\tmovq 16(%rsp), %rdx\n"
         "\tmovq 24(%rsp), %rcx\n\tmovq 32(%rsp), %r8\n\tmovq 40(%rsp), %r9\n"
         "\tmovq 48(%rsp), %rax\n\taddq $192, %rsp\n\t.cfi_adjust_cfa_offset -192\n\tpopq %r11\n"
         "\t.cfi_adjust_cfa_offset -8\n"
         "\tleaq ${slots}(%rip), %r10\n\tjmp *(%r10,%r11,8)\n\t.cfi_endproc\n"
         "\t.data\n\t.p2align 3\n\t.globl ${slots}\n\t.hidden ${slots}\n${slots}:\n${initial}"
         "\t.section .note.GNU-stack,\"\",@progbits\n")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/lazy/${name}_trampolines.S)
  zorv_lazy_write(${out} "${asm}")
  target_sources(${target} PRIVATE ${out})

  string(CONCAT cpp "// Generated from ${name}.symbols by lazy_libraries.cmake.\n"
      "extern \"C\" void* ${slots}[];\n"
      "extern \"C\" __attribute__((visibility(\"hidden\"))) const int zorv_lazy_${name}_id =\n"
      "    int(platform::LazyLibrary::${enum});\n"
      "namespace {\nconst char* const k_${name}_symbols[] = {\n${names}};\n"
      "const platform::LazyTable k_${name}{\"${soname}\", \"${package}\", k_${name}_symbols, ${slots},\n"
      "                                  ${i}};\n} // namespace\n\n")
  set_property(GLOBAL APPEND_STRING PROPERTY ZORV_LAZY_TABLES "${cpp}")
  set_property(GLOBAL APPEND PROPERTY ZORV_LAZY_ENUMS "${enum}:${name}")
endfunction()

function(zorv_lazy_libraries_done target)
  if(NOT ZORV_LAZY_TRAMPOLINES)
    target_compile_definitions(${target} PRIVATE ZORV_LAZY_LIBRARIES_LINKED)
    return()
  endif()
  get_property(tables GLOBAL PROPERTY ZORV_LAZY_TABLES)
  get_property(enums GLOBAL PROPERTY ZORV_LAZY_ENUMS)
  set(cases "")
  foreach(pair IN LISTS enums)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 enum)
    list(GET pair 1 name)
    string(APPEND cases "    case platform::LazyLibrary::${enum}:\n        return k_${name};\n")
  endforeach()
  string(CONCAT cpp "#include \"platform/libraries/lazy_table.h\"\n\n${tables}"
      "const platform::LazyTable& platform::TableOf(LazyLibrary library) {\n"
      "    switch (library) {\n${cases}    }\n    return k_sdl2;\n}\n")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/lazy/lazy_tables.cpp)
  zorv_lazy_write(${out} "${cpp}")
  target_sources(${target} PRIVATE ${out})
endfunction()
