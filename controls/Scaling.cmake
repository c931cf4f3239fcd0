# The window scaler. (Owned by the layout/scaler work; add Scalar.h Scalar.cpp here.)
target_sources(zentyr_controls PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../platform/ZentyrError.h)
