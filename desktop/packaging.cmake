# SPDX-License-Identifier: MIT
# `make package`: a .deb of the install rules above. Its dependencies are worked out
# from the programs' shared libraries (dpkg-shlibdeps), so they are the Qt 6 runtime
# packages of the release it is built on, with the versions it was built against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VENDOR "Lumo developers")
set(CPACK_PACKAGE_CONTACT "Lumo developers <lumo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer and extractor for LGP archives")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumo opens LGP archives, lists their entries, extracts them and shows field\n"
    "backgrounds, textures and music in windows of their own. lumo-cli does the\n"
    "same from scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://lumo.example.org/")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The General MIDI SoundFont music is played with, and FluidSynth and libsndfile, which
# the programs load only when they play music or write FLAC (so dpkg-shlibdeps cannot see
# them); the other shared
# libraries' packages add themselves. The faces the index caption and the About box are
# drawn in, and the larger SoundFont music sounds better with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont, libfluidsynth3, libsndfile1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fluid-soundfont-gm")
set(CPACK_STRIP_FILES ON)
include(CPack)
