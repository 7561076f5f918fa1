# Debian packages of the install components (cpack -G DEB in a build configured with
# CMAKE_INSTALL_PREFIX=/usr): kq7120-driver (library, headers, CMake and pkg-config files, Python
# package, API reference, examples), kq7120-simulator (simulated VISA and chassis) and kq7120-panel
# (front panel, forms, desktop entry and icon).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kq7120)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KQ7120 software team <kq7120-software@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Software for the KQ7120 and KQ7110 VXIbus DAC modules")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_COMPONENTS_ALL driver simulator panel)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The driver and the simulator's libraries are found in the staged packages, not on the system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${CMAKE_BINARY_DIR}/${KQ_LIB_DIR} ${KQ_SIM_OUTPUT_DIR})

set(CPACK_DEBIAN_DRIVER_PACKAGE_NAME kq7120-driver)
set(CPACK_DEBIAN_DRIVER_DESCRIPTION "Instrument driver Kq7120_32 of the KQ7120/KQ7110 VXIbus DAC modules
 The shared library libkq7120_32.so with its C header, CMake package configuration and pkg-config
 file, the Python package kq7120, the API reference and example programs. It loads a VISA library
 at run time.")
set(CPACK_DEBIAN_DRIVER_PACKAGE_SUGGESTS "python3, kq7120-simulator")

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME kq7120-simulator)
set(CPACK_DEBIAN_SIMULATOR_DESCRIPTION "Simulated VXI chassis of KQ7120/KQ7110 DAC modules
 A VISA library (lib/kq7120-sim/libvisa.so) over a simulated chassis of KQ7120 and KQ7110 modules,
 for writing and trying test programs without hardware.")

set(CPACK_DEBIAN_PANEL_PACKAGE_NAME kq7120-panel)
set(CPACK_DEBIAN_PANEL_DESCRIPTION "Soft front panel sfp7120_32 of the KQ7120/KQ7110 VXIbus DAC modules
 A desktop program to operate every function of a module.")
set(CPACK_COMPONENT_PANEL_DEPENDS driver)

include(CPack)
