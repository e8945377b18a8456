# Writes the bash, zsh and fish completions of vduno, as the built program prints them.
file(MAKE_DIRECTORY ${OUT})
set(ENV{QT_QPA_PLATFORM} offscreen)
foreach(pair "bash;vduno" "zsh;_vduno" "fish;vduno.fish")
    list(GET pair 0 shell)
    list(GET pair 1 name)
    execute_process(COMMAND ${VDUNO} --completion ${shell} OUTPUT_FILE ${OUT}/${name}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "vduno --completion ${shell} failed: ${status}")
    endif()
endforeach()
