# Cross build for the device: 64-bit ARM Linux with Debian's aarch64 cross
# compiler, against Debian's arm64 packages installed through multiarch
# (headers in /usr/include, libraries and CMake configs in
# /usr/lib/aarch64-linux-gnu). Test programs run under qemu-aarch64.
#
#   cmake --preset aarch64        (or -DCMAKE_TOOLCHAIN_FILE=<this file>)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(LCD_CROSS_TRIPLE aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${LCD_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${LCD_CROSS_TRIPLE}-g++)

# The multiarch subdirectory: find_library and find_package look in
# <prefix>/lib/aarch64-linux-gnu, never in the host's x86_64 one.
set(CMAKE_LIBRARY_ARCHITECTURE ${LCD_CROSS_TRIPLE})

# The cross compiler's own runtime (/usr/aarch64-linux-gnu) and the multiarch
# packages under /usr share one root: the host's / with the arm64 subdirectory.
set(CMAKE_FIND_ROOT_PATH /usr/${LCD_CROSS_TRIPLE} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Belt and braces: the host's libraries and package configs must never be
# picked up, even through a hint or a pkg-config file that names them.
set(CMAKE_IGNORE_PATH
  /usr/lib/x86_64-linux-gnu
  /usr/lib/x86_64-linux-gnu/cmake
  /lib/x86_64-linux-gnu)

# pkg-config (FindCURL, FindPkgConfig) reads only the arm64 .pc files.
set(ENV{PKG_CONFIG_LIBDIR}
  "/usr/lib/${LCD_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# ctest and gtest_discover_tests run the ARM programs through user-mode
# emulation; -L names the root in which the emulator finds the arm64 dynamic
# loader. The programs load the C library of the arm64 multiarch packages
# (libc6:arm64, /lib/aarch64-linux-gnu, found through the ld.so cache), so
# the loader must come from that same build: the cross toolchain's copy
# under /usr/aarch64-linux-gnu is another build of the C library, and a
# loader and libc of different builds disagree on their private data, so
# that the first pthread_create spins for ever. Hence the multiarch root /
# whenever its loader is installed.
if(EXISTS /lib/ld-linux-aarch64.so.1)
  set(LCD_EMULATOR_ROOT /)
else()
  set(LCD_EMULATOR_ROOT /usr/${LCD_CROSS_TRIPLE})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;${LCD_EMULATOR_ROOT})
