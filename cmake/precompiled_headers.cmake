# Window sources spend most of their compile time parsing the same Qt headers
# again: precompiled once per target, a window source compiles in a third of
# the time, which keeps a cold build and test run well inside CI's time.
# (Not the test framework's headers: GCC 12 then reports its own string
# copies inside them as out of bounds, in every test source.)
# A compiler cache cannot reuse objects built against a precompiled header,
# so it is off by default where a compiler launcher (ccache) is set.
if(CMAKE_CXX_COMPILER_LAUNCHER)
    set(postmoor_pch_default OFF)
else()
    set(postmoor_pch_default ON)
endif()
option(POSTMOOR_PRECOMPILED_HEADERS "Precompile the Qt headers the window sources share" ${postmoor_pch_default})

# The headers most window sources include. A header left out is parsed as
# usual where it is included, so the lists only need the common ones.
set(POSTMOOR_QT_SHARED_HEADERS
    <QAction> <QApplication> <QButtonGroup> <QCheckBox> <QCloseEvent> <QComboBox>
    <QDialog> <QFormLayout> <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView>
    <QKeyEvent> <QLabel> <QLineEdit> <QListWidget> <QMdiArea> <QMdiSubWindow>
    <QMenu> <QPointer> <QPushButton> <QRadioButton> <QSpinBox> <QString> <QStyle>
    <QTabBar> <QTableView> <QTimer> <QToolButton> <QTreeWidget> <QVBoxLayout> <QWidget>
    <functional> <memory> <optional> <string> <string_view> <vector>)

# postmoor_precompile_headers(target HEADERS <header>...) precompiles the
# headers for `target`; postmoor_precompile_headers(target REUSE_FROM other)
# uses the ones `other` precompiled (their compile flags must match).
function(postmoor_precompile_headers target)
    if(NOT POSTMOOR_PRECOMPILED_HEADERS)
        return()
    endif()
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "REUSE_FROM" "HEADERS")
    if(arg_REUSE_FROM)
        target_precompile_headers(${target} REUSE_FROM ${arg_REUSE_FROM})
    else()
        target_precompile_headers(${target} PRIVATE ${arg_HEADERS})
    endif()
endfunction()
