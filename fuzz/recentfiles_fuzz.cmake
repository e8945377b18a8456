target_link_libraries(${FUZZ_TARGET} PRIVATE vduno_app)
