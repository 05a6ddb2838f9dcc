# Each library exports only its own folder. Its include root holds one entry, `<prefix>`, a link
# to the folder, so "store/gpu_store.h" is found through the store's root, and a header of a
# layer that a target does not link (collector/, platform/ for the views) is simply not found.
function(tarsik_export_headers target prefix folder)
    set(root ${PROJECT_BINARY_DIR}/layers/${prefix})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${folder} ${root}/${prefix} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
