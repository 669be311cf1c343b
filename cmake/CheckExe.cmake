# Fails unless EXE, as OBJDUMP reads its header and resources, is a GUI program with ASLR (and
# the relocations it needs) and DEP, carrying its icon (resource type 14, a group icon).
#   cmake -DOBJDUMP=<objdump> -DEXE=<hostdeck.exe> -P CheckExe.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE header RESULT_VARIABLE failed)
if(failed OR NOT header MATCHES
   "Windows GUI.*DYNAMIC_BASE.*NX_COMPAT.*Base Relocation Directory \\[\\.reloc\\].*Entry: ID: 0x00000e")
  message(FATAL_ERROR "${EXE}: not a GUI program with ASLR, DEP and its icon")
endif()
message(STATUS "${EXE}: a GUI program with ASLR, DEP and its icon")
