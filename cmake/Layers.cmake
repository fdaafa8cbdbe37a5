# The layers of src/core and src/gui: each folder of a part is a static library that may include
# its own headers and those of the folders below it, never those above.

# vantrel_layer_root(PART FOLDER ROOT_VAR [BELOW...]): records what FOLDER of src/PART may
# include (itself and every folder below it, directly or not) and makes its include root,
# build/PART-layers/FOLDER/PART/ holding a link to each of those folders alone, so that a
# wrong-way include fails with "No such file or directory". ROOT_VAR receives the root.
function(vantrel_layer_root part folder root_var)
  set(reach ${folder})
  foreach(below ${ARGN})
    list(APPEND reach ${below})
    get_property(below_reach GLOBAL PROPERTY vantrel_${part}_reach_${below})
    list(APPEND reach ${below_reach})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set_property(GLOBAL PROPERTY vantrel_${part}_reach_${folder} ${reach})

  set(root ${CMAKE_BINARY_DIR}/${part}-layers/${folder})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${part})
  foreach(allowed ${reach})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${part}/${allowed} ${root}/${part}/${allowed} SYMBOLIC)
  endforeach()
  set(${root_var} ${root} PARENT_SCOPE)
endfunction()

# vantrel_layers_all_declared(PART): a new folder of src/PART must take its place among the
# layers, or its files would not be built; the configure step stops.
function(vantrel_layers_all_declared part)
  file(GLOB folders LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR}/src/${part} ${CMAKE_SOURCE_DIR}/src/${part}/*)
  foreach(folder ${folders})
    get_property(declared GLOBAL PROPERTY vantrel_${part}_reach_${folder} SET)
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${part}/${folder} AND NOT declared)
      message(FATAL_ERROR "src/${part}/${folder} is not one of the layers declared in ${CMAKE_CURRENT_LIST_FILE}")
    endif()
  endforeach()
endfunction()
