#The article base editor opens the article editor and prints the article list.
target_link_libraries(
    vduno_tables_forms_articles PUBLIC vduno_articlelist_forms vduno_printing vduno_app
                                       vduno_wholeregister)
