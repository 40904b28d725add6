# The Lumetra toolkit for find_package(LumetraToolkit): the imported target
# Lumetra::Toolkit, a static library that brings its headers (included as
# <lumetra/controls/ButtonCustom.h>) and Xlib with it.
include(CMakeFindDependencyMacro)
find_dependency(X11)
include(${CMAKE_CURRENT_LIST_DIR}/LumetraToolkitTargets.cmake)
