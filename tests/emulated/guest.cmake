# Which i686 Windows tests run inside the emulated i386 guest where the host runs
# no 32-bit code (board.sh turns BOARD_I386_GUEST on there), and the command that
# hands one to the guest. Included by cmake/Board.cmake; tests/emulated boots the guest.
option(BOARD_I386_GUEST "Run the listed i686 Wine tests inside an emulated i386 guest" OFF)
# The rest are left to hosts that run 32-bit programs: under emulation the play storm
# and the 50 teardown runs take far too long, the device's sample-exact timing fails,
# and the skin contact sheet lacks its font.
set(BOARD_GUEST_TESTS foundation_wine_test wave_player_test midi_winmm_wine_test sound_player_wine_test
    memmodule_wine_test hotkey_table_wine_test message_box_wine_test owners_wine_test open_address
    skin_engine_wine_test transparent_label_wine_test
    app_welcome app_window app_sound app_caption_fit app_skin_board app_hotkeys_in_front)
set(BOARD_GUEST_RUN_DIR ${CMAKE_BINARY_DIR}/tests/emulated)
set(BOARD_GUEST_RUN bash ${CMAKE_SOURCE_DIR}/tests/emulated/guest_run.sh ${BOARD_GUEST_RUN_DIR})

# True (in OUT) when test NAME of this build runs in the guest.
function(board_runs_in_guest OUT NAME)
  set(${OUT} OFF PARENT_SCOPE)
  if(BOARD_I386_GUEST AND CMAKE_SYSTEM_PROCESSOR STREQUAL i686 AND NAME IN_LIST BOARD_GUEST_TESTS)
    set(${OUT} ON PARENT_SCOPE)
  endif()
endfunction()
