# Makes the source archive published beside the Windows packages, the source
# that their notice points to:
#   NAME/tessarin/   Tessarin's own source at this version: what git tracks
#   NAME/qt6-base/   Debian's qt6-base source package that Tessarin.exe's Qt was
#                    built from, and the files that configured that build
# Run by the build (cmake -DSOURCE=... -DQT_SOURCE=... -DNAME=... -DOUTPUT=... -P).
# Equal sources give equal bytes: the files in name order, with one owner and
# SOURCE_DATE_EPOCH's time (the last commit's, when unset).
execute_process(COMMAND git -C ${SOURCE} ls-files
  OUTPUT_VARIABLE files OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" files "${files}")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${SOURCE} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

get_filename_component(stage ${OUTPUT}.stage ABSOLUTE)
file(REMOVE_RECURSE ${stage})
foreach(file IN LISTS files)
  # A file deleted but not yet committed is not part of this version.
  if(EXISTS ${SOURCE}/${file} AND NOT IS_DIRECTORY ${SOURCE}/${file})
    get_filename_component(folder ${stage}/${NAME}/tessarin/${file} DIRECTORY)
    file(COPY ${SOURCE}/${file} DESTINATION ${folder})
  endif()
endforeach()
file(COPY ${QT_SOURCE}/ DESTINATION ${stage}/${NAME}/qt6-base)

execute_process(
  COMMAND tar --sort=name --mtime=@${epoch} --owner=0 --group=0 --numeric-owner --mode=go-w
    --format=gnu -C ${stage} -cf - ${NAME}
  COMMAND xz -T1 -c
  OUTPUT_FILE ${OUTPUT}.part COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${OUTPUT}.part ${OUTPUT})
file(REMOVE_RECURSE ${stage})
