# The fuzz targets and the library each one reads through: fuzz/fuzz_<name>.cpp, seeds in fuzz/corpus/<name>/.
set(CARNETTO_FUZZ_TARGETS archivio rigalista ripristino griglia vcard multistatus)
set(CARNETTO_FUZZ_LIB_archivio carnetto_archive)
set(CARNETTO_FUZZ_LIB_rigalista carnetto_archive)
set(CARNETTO_FUZZ_LIB_ripristino carnetto_backup)
set(CARNETTO_FUZZ_LIB_griglia carnetto_export)
set(CARNETTO_FUZZ_LIB_vcard carnetto_vcard)
set(CARNETTO_FUZZ_LIB_multistatus carnetto_sync)
