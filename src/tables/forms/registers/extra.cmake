# Deleting packaging asks through the article dialogs' linked-articles list.
target_link_libraries(vduno_tables_forms_registers PUBLIC vduno_articlelist_forms)
