# A program that sets its target property VANTREL_STATIC_DEPS links the
# image and font libraries of the engine from their static archives, so
# that starting it does not map and relocate ten shared libraries for a
# command that may use none of them. Libraries and programs without the
# property (the editor, whose Qt already loads the shared copies, the tests
# and the sanitizer builds) link the shared libraries as usual.

# The link items for a dependency: SHARED (a target or library) for
# consumers without the property; the archives named (lib<NAME>.a, in link
# order) for those with it, when every archive is installed (the shared
# library otherwise).
function(vantrel_dependency out shared)
  set(_archives)
  foreach(name ${ARGN})
    find_library(VANTREL_STATIC_${name} NAMES lib${name}.a)
    if(NOT VANTREL_STATIC_${name})
      set(${out} ${shared} PARENT_SCOPE)
      return()
    endif()
    list(APPEND _archives ${VANTREL_STATIC_${name}})
  endforeach()
  set(_static $<BOOL:$<TARGET_PROPERTY:VANTREL_STATIC_DEPS>>)
  set(_items "$<$<NOT:${_static}>:${shared}>")
  foreach(archive ${_archives})
    list(APPEND _items "$<${_static}:${archive}>")
  endforeach()
  set(${out} ${_items} PARENT_SCOPE)
endfunction()
