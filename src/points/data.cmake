# The points component reads its base times from base_times.txt beside its
# library; the copy is made again whenever the source file changes.
configure_file(${CMAKE_SOURCE_DIR}/src/points/base_times.txt
               ${COULOIR_COMPONENTS_OUTPUT_DIRECTORY}/base_times.txt COPYONLY)
