# Makes the source archive published beside the Windows packages, the source
# that their notice points to:
#   NAME/tessarin/   Tessarin's own source at this version: what git tracks
#   NAME/qt6-base/   Debian's qt6-base source package that Tessarin.exe's Qt was
#                    built from, and the files that configured that build
# Run by the build (cmake -DSOURCE=... -DFILES=... -DEPOCH=... -DQT_SOURCE=...
# -DNAME=... -DOUTPUT=... -P), with FILES the list of what git tracks, one
# path a line. Equal sources give equal bytes: the files in name order, with
# one owner, EPOCH's time and fixed modes (0644, and 0755 for what runs),
# whatever the umask of the checkout.
file(STRINGS ${FILES} files)

get_filename_component(stage ${OUTPUT}.stage ABSOLUTE)
file(REMOVE_RECURSE ${stage})
foreach(file IN LISTS files)
  get_filename_component(folder ${stage}/${NAME}/tessarin/${file} DIRECTORY)
  file(COPY ${SOURCE}/${file} DESTINATION ${folder})
endforeach()
file(COPY ${QT_SOURCE}/ DESTINATION ${stage}/${NAME}/qt6-base)

execute_process(
  COMMAND tar --sort=name --mtime=@${EPOCH} --owner=0 --group=0 --numeric-owner
    --mode=u=rwX,go=rX --format=gnu -C ${stage} -cf - ${NAME}
  COMMAND xz -T1 -c
  OUTPUT_FILE ${OUTPUT}.part COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${OUTPUT}.part ${OUTPUT})
file(REMOVE_RECURSE ${stage})
