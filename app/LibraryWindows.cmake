# The series library's windows: the list of recorded series with their notes, and the
# comparison of several. They write data files, spreadsheets and reports as the main window
# does.
add_library(tarvex_library_windows STATIC
    USeriesSummary.cpp
    ULibraryModel.cpp
    ULibraryFiles.cpp
    UFrmLibrary.cpp
    UFrmComparison.cpp
)
target_include_directories(tarvex_library_windows PUBLIC ${PROJECT_SOURCE_DIR})
# The headers name the store, the series, the analysis' summaries and the report's content.
target_link_libraries(tarvex_library_windows
    PUBLIC tarvex_store tarvex_series tarvex_analysis Qt6::Widgets
    PRIVATE tarvex_files tarvex_windows tarvex_chart tarvex_dialogs tarvex_platform)
