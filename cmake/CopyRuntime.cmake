cmake_minimum_required(VERSION 3.25)
# Copies runtime/ beside the program. Files the program itself rewrites (the
# account-book list) are seeded only once, so a rebuild never undoes the
# operator's changes.
set(SEED_FILES dbsetup.dat)
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(file ${files})
  if(file IN_LIST SEED_FILES AND EXISTS ${TARGET}/${file})
    continue()
  endif()
  get_filename_component(dir ${TARGET}/${file} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  file(COPY_FILE ${SOURCE}/${file} ${TARGET}/${file} ONLY_IF_DIFFERENT)
endforeach()
