# Read after CMake's own Windows-GNU platform rules (CMAKE_USER_MAKE_RULES_OVERRIDE of
# windows-i686.cmake): a library for the target is a static archive, never an import
# library, so nothing we link brings a DLL of its own along.
set(CMAKE_FIND_LIBRARY_SUFFIXES ".a")
