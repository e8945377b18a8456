#include "formregistry.h"

std::map<std::string, FormFactory>& FormRegistry::all()
{
    static std::map<std::string, FormFactory> forms;
    return forms;
}

bool FormRegistry::add(const char* className, FormFactory factory)
{
    all()[className] = std::move(factory);
    return true;
}

const FormFactory* FormRegistry::find(const char* className)
{
    const auto it = all().find(className);
    return it == all().end() ? nullptr : &it->second;
}
