# What scripts/qt-windows.sh builds of Qt for Windows: the initial cache of its
# configure (cmake -C), so every choice stands here once. The hash of this file
# and the toolchain file names the folder the build is cached in, so a change
# to either builds Qt anew, and the toolchain file finds exactly the Qt built
# from them. Every switch is Qt's own FEATURE_ or INPUT_ setting: no patch to
# Qt's source.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(BUILD_SHARED_LIBS OFF CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")
set(QT_BUILD_BENCHMARKS OFF CACHE BOOL "")
# Compiled for size (the toolchain file adds the sections the linker drops).
set(FEATURE_optimize_size ON CACHE BOOL "")

# Modules Tessarin does not use. OpenGL is off by its input, which also turns
# off dynamic GL; tablet events are off because Debian's source leaves out
# Qt's bundled wintab.h.
foreach(feature network sql dbus printsupport xml concurrent vulkan tabletevent)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
set(INPUT_opengl no CACHE STRING "")

# Qt's own copies of the libraries, not the build machine's.
foreach(feature system_jpeg system_png system_zlib system_pcre2 system_harfbuzz system_freetype)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()

# Widgets: Tessarin has labels, a line edit, a plain-text edit with its scroll
# bar and the two boxes' context menus, in the Windows Vista style. Qt 6.4's
# own sources need more to compile: the tool and menu bars (its removed-API
# file), message boxes and their buttons (the widgets' accessibility), button
# groups (the buttons), item views (the common style's headers), PNG (the
# common style's icons), and radio buttons, tab widgets, table and tree views
# and input dialogs with their combo and spin boxes (the Vista style).
foreach(feature
    dockwidget mdiarea statusbar statustip toolbox splitter lcdnumber
    dial progressbar keysequenceedit splashscreen sizegrip rubberband textbrowser
    syntaxhighlighter formlayout scroller calendarwidget columnview
    datawidgetmapper completer colordialog filedialog fontdialog progressdialog errormessage
    wizard style_fusion effects tooltip whatsthis)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
# Qt 6.7 and later build the Vista style in one plugin with the Windows 11
# style, which needs more: command link buttons, graphics view for the
# graphics effect that casts its menus' shadow, and the style sheets (with
# their CSS parser) whose palette it reads.
if(NOT EXISTS "${CMAKE_SOURCE_DIR}/src/plugins/styles/modernwindows")
  foreach(feature commandlinkbutton graphicsview style_stylesheet cssparser)
    set(FEATURE_${feature} OFF CACHE BOOL "")
  endforeach()
endif()

# Gui: image formats other than JPEG, ICO and PNG (XPM stays for drag and
# drop), the text formats Tessarin never reads or writes, and what no part of
# it calls.
foreach(feature
    gif imageformat_bmp imageformat_ppm imageformat_xbm image_heuristic_mask
    image_text imageio_text_loading raster_64bit raster_fp movie picture pdf
    texthtmlparser textmarkdownreader textmarkdownwriter textodfwriter
    undocommand desktopservices systemtrayicon sessionmanager direct2d1_1 freetype filesystemmodel)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()

# Core: proxy models, MIME types, XML streams, processes and the rest no part
# uses, and SHA-3 for size rather than speed. Regular expressions stay: Qt
# 6.4's configure requires PCRE2, which it builds only for them. So do the CBOR
# reader, which reads plugins' metadata, and settings, which the Windows
# plugin's screens read.
foreach(feature
    proxymodel stringlistmodel mimetype xmlstream process sharedmemory systemsemaphore
    filesystemwatcher translation commandlineparser cborstreamwriter timezone datetimeparser
    jalalicalendar hijricalendar gestures sha3_fast)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
