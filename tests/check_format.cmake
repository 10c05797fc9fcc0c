# Fails when any C++ file of the project differs from what clang-format makes of it.
file(GLOB_RECURSE files
    ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
    ${SOURCE_DIR}/scene/*.cpp ${SOURCE_DIR}/scene/*.h
    ${SOURCE_DIR}/render/*.cpp ${SOURCE_DIR}/render/*.h
    ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/platform/*.h
    ${SOURCE_DIR}/model/*.cpp ${SOURCE_DIR}/model/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
    ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
    ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: the files above are not formatted; run clang-format -i on them")
endif()
