# `cpack -G DEB` in the build directory makes the Debian package of what `cmake --install`
# installs. The dependencies are named by hand: the libraries the executable links, the Qt
# plugin that opens an X window, the GStreamer plugins that decode MP3, WAV, MIDI and AVI,
# the sound font MIDI needs, the font the Chinese texts need, and Qt's Chinese catalogues.
set(CPACK_PACKAGE_NAME tavuromp3)
set(CPACK_PACKAGE_VENDOR "TavuroMP3")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Plays school bells and music at set times (定时播音、铃声定时)")
set(CPACK_PACKAGE_DESCRIPTION
    "A bell and music scheduler for schools, kindergartens and workplaces: a timetable of tasks,\n\
a music library, holidays, background music and a daily automatic shutdown.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "TavuroMP3 developers <noreply@tavuro.invalid>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6 (>= 2.34)" "libstdc++6 (>= 12)" "libgcc-s1"
  "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" "libqt6dbus6 (>= 6.4)"
  "libqt6network6 (>= 6.4)" "qt6-qpa-plugins" "qt6-translations-l10n"
  "libglib2.0-0" "libgstreamer1.0-0 (>= 1.22)" "libnettle8" "libical3 (>= 3.0)" "libpulse0"
  "libgstreamer-plugins-base1.0-0 (>= 1.22)"
  "gstreamer1.0-plugins-base" "gstreamer1.0-plugins-good" "gstreamer1.0-plugins-bad"
  "gstreamer1.0-plugins-ugly" "gstreamer1.0-pulseaudio | gstreamer1.0-alsa"
  "timgm6mb-soundfont" "fonts-wqy-microhei")
# Zones in other buildings are fed through a Snapcast server the program starts itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "snapserver")
include(CPack)
