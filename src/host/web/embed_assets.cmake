# Writes OUTPUT, a C++ file holding every file of ASSETS_DIR as a raw string,
# for web_assets.h.
file(GLOB assets RELATIVE ${ASSETS_DIR} ${ASSETS_DIR}/*)
list(SORT assets)
set(body "#include \"web_assets.h\"\n\n#include <array>\n\nnamespace couloir::host::web {\nnamespace {\nconst std::array kAssets = {\n")
foreach(asset ${assets})
  file(READ ${ASSETS_DIR}/${asset} content)
  string(APPEND body "    Asset{\"${asset}\", R\"couloir_asset(${content})couloir_asset\"},\n")
endforeach()
string(APPEND body "};\n}  // namespace\n\nconst Asset* findAsset(std::string_view name) {\n    for (const Asset& asset : kAssets)\n        if (asset.name == name) return &asset;\n    return nullptr;\n}\n\n}  // namespace couloir::host::web\n")
file(WRITE ${OUTPUT} "${body}")
