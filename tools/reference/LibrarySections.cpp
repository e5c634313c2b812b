// The reference's sections about the type library: the library, its classes, interfaces, enumerations and other types.
#include "tools/reference/LibrarySections.h"

#include "tools/reference/MarkdownTable.h"
#include "tools/reference/StandardDispatchIds.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Link(const std::string& name)
{
    return "[" + CodeSpan(name) + "](#" + AnchorOf(name) + ")";
}

// "1", or "-501 (DISPID_BACKCOLOR)" for a standard one.
std::string DispatchIdText(MEMBERID id)
{
    const std::string number = std::to_string(static_cast<long>(id));
    const char* standard = StandardDispatchIdName(id);
    return standard ? number + " (" + standard + ")" : number;
}

std::string FlagsSuffix(const std::vector<std::string>& flags)
{
    return flags.empty() ? std::string() : " [" + Join(flags) + "]";
}

std::string ParameterText(const ParameterModel& parameter)
{
    std::string text = parameter.attributes.empty() ? std::string() : "[" + Join(parameter.attributes) + "] ";
    text += parameter.type;
    if (!parameter.name.empty())
        text += " " + parameter.name;
    return text;
}

std::string ParameterListText(const std::vector<ParameterModel>& parameters)
{
    std::vector<std::string> texts;
    for (const ParameterModel& parameter : parameters)
        texts.push_back(ParameterText(parameter));
    return "(" + Join(texts) + ")";
}

bool IsRetval(const ParameterModel& parameter)
{
    return std::find(parameter.attributes.begin(), parameter.attributes.end(), "retval") != parameter.attributes.end();
}

// What a call hands back, and the parameters a caller passes: a vtable
// function's [retval] parameter is its result.
struct CallShape {
    std::string result;
    std::vector<ParameterModel> parameters;
};

CallShape ShapeOf(const MemberModel& function)
{
    CallShape shape{function.type, function.parameters};
    if (!shape.parameters.empty() && IsRetval(shape.parameters.back())) {
        std::string type = shape.parameters.back().type;
        if (!type.empty() && type.back() == '*')
            type.pop_back();
        shape.result = type;
        shape.parameters.pop_back();
    }
    return shape;
}

bool IsPropertyAccessor(MemberKind kind)
{
    return kind == MemberKind::propertyGet || kind == MemberKind::propertyPut || kind == MemberKind::propertyPutRef;
}

// One property: its accessors (or its variable) gathered under one ID.
struct Property {
    const MemberModel* get = nullptr;
    const MemberModel* put = nullptr;
    const MemberModel* putRef = nullptr;
    const MemberModel* variable = nullptr;

    const MemberModel& First() const
    {
        return variable ? *variable : get ? *get : put ? *put : *putRef;
    }
};

std::vector<Property> PropertiesOf(const TypeModel& type)
{
    std::vector<Property> properties;
    std::vector<MEMBERID> ids;
    for (const MemberModel& member : type.members) {
        if (!IsPropertyAccessor(member.kind) && member.kind != MemberKind::variable)
            continue;
        auto found = std::find(ids.begin(), ids.end(), member.id);
        if (found == ids.end() || member.kind == MemberKind::variable) {
            ids.push_back(member.id);
            properties.emplace_back();
            found = ids.end() - 1;
        }
        Property& property = properties[static_cast<size_t>(found - ids.begin())];
        switch (member.kind) {
        case MemberKind::propertyGet: property.get = &member; break;
        case MemberKind::propertyPut: property.put = &member; break;
        case MemberKind::propertyPutRef: property.putRef = &member; break;
        default: property.variable = &member; break;
        }
    }
    return properties;
}

std::string AccessText(const Property& property)
{
    if (property.variable) {
        const auto& flags = property.variable->flags;
        return std::find(flags.begin(), flags.end(), "readonly") != flags.end() ? "read-only" : "read/write";
    }
    std::vector<std::string> ways;
    if (property.get)
        ways.emplace_back("read");
    if (property.put)
        ways.emplace_back("write");
    if (property.putRef)
        ways.emplace_back("write by reference");
    if (ways.size() == 1 && property.get)
        return "read-only";
    if (ways.size() == 1)
        return ways.front() + "-only";
    return Join(ways, "/");
}

// The property's value type and the index parameters it takes.
CallShape PropertyShape(const Property& property)
{
    if (property.variable)
        return {property.variable->type, {}};
    if (property.get)
        return ShapeOf(*property.get);
    const MemberModel& setter = property.put ? *property.put : *property.putRef;
    CallShape shape{"", setter.parameters};
    if (!shape.parameters.empty()) {
        shape.result = shape.parameters.back().type;
        shape.parameters.pop_back();
    }
    return shape;
}

// Flags of a property's accessors, each once, "readonly" left to the access column.
std::vector<std::string> PropertyFlags(const Property& property)
{
    std::vector<std::string> flags;
    for (const MemberModel* member : {property.variable, property.get, property.put, property.putRef}) {
        if (!member)
            continue;
        for (const std::string& flag : member->flags) {
            if (flag != "readonly" && std::find(flags.begin(), flags.end(), flag) == flags.end())
                flags.push_back(flag);
        }
    }
    return flags;
}

std::string HelpContextText(DWORD context)
{
    return context ? std::to_string(context) : std::string();
}

std::string PropertiesTable(const TypeModel& type)
{
    MarkdownTable table({"DISPID:", "property", "type", "access", "description"});
    for (const Property& property : PropertiesOf(type)) {
        const MemberModel& first = property.First();
        const CallShape shape = PropertyShape(property);
        std::string name = CodeSpan(first.name + (shape.parameters.empty() ? "" : ParameterListText(shape.parameters)));
        table.AddRow({DispatchIdText(first.id), name + FlagsSuffix(PropertyFlags(property)), CodeSpan(shape.result),
                      AccessText(property), first.help});
    }
    const std::string text = table.Text();
    return text.empty() ? text : "#### Properties\n\n" + text;
}

std::string MethodsTable(const TypeModel& type, bool events)
{
    MarkdownTable table = events ? MarkdownTable({"DISPID:", "event", "description", "help context:"})
                                 : MarkdownTable({"DISPID:", "method", "returns", "description", "help context:"});
    for (const MemberModel& member : type.members) {
        if (member.kind != MemberKind::method)
            continue;
        const CallShape shape = ShapeOf(member);
        const std::string call = CodeSpan(member.name + ParameterListText(shape.parameters)) + FlagsSuffix(member.flags);
        if (events)
            table.AddRow({DispatchIdText(member.id), call, member.help, HelpContextText(member.helpContext)});
        else
            table.AddRow({DispatchIdText(member.id), call, CodeSpan(shape.result), member.help,
                          HelpContextText(member.helpContext)});
    }
    const std::string text = table.Text();
    return text.empty() ? text : (events ? "#### Events\n\n" : "#### Methods\n\n") + text;
}

const char* KindText(TYPEKIND kind)
{
    switch (kind) {
    case TKIND_ENUM: return "enum";
    case TKIND_RECORD: return "struct";
    case TKIND_MODULE: return "module";
    case TKIND_INTERFACE: return "interface";
    case TKIND_DISPATCH: return "dispinterface";
    case TKIND_COCLASS: return "coclass";
    case TKIND_ALIAS: return "typedef";
    case TKIND_UNION: return "union";
    default: return "type";
    }
}

// The classes that use an interface, and how: "WyFTP (default, source)".
std::vector<std::string> UsersOf(const LibraryModel& library, const std::string& name, bool& isSource)
{
    std::vector<std::string> users;
    for (const TypeModel& type : library.types) {
        if (type.kind != TKIND_COCLASS)
            continue;
        for (const ImplementedModel& implemented : type.implemented) {
            if (implemented.name != name)
                continue;
            if (std::find(implemented.flags.begin(), implemented.flags.end(), "source") != implemented.flags.end())
                isSource = true;
            users.push_back(CodeSpan(type.name) + FlagsSuffix(implemented.flags));
        }
    }
    return users;
}

std::string InterfaceText(const LibraryModel& library, const TypeModel& type)
{
    bool isSource = false;
    const std::vector<std::string> users = UsersOf(library, type.name, isSource);
    std::string text = "### " + type.name + "\n\n";
    if (!type.help.empty())
        text += type.help + "\n\n";
    text += "- " + std::string(KindText(type.kind)) + (type.guid.empty() ? "" : ", IID " + CodeSpan(type.guid))
            + FlagsSuffix(type.flags) + "\n";
    std::vector<std::string> bases;
    for (const ImplementedModel& base : type.implemented)
        bases.push_back(CodeSpan(base.name));
    if (!bases.empty())
        text += "- derives from " + Join(bases) + "\n";
    if (!users.empty())
        text += std::string(isSource ? "- events of " : "- interface of ") + Join(users) + "\n";
    text += "\n" + PropertiesTable(type) + MethodsTable(type, isSource);
    return text;
}

std::string EnumerationText(const TypeModel& type)
{
    std::string text = "### " + type.name + "\n\n";
    if (!type.help.empty())
        text += type.help + "\n\n";
    const bool described = std::any_of(type.members.begin(), type.members.end(),
                                       [](const MemberModel& member) { return !member.help.empty(); });
    MarkdownTable table = described ? MarkdownTable({"constant", "value:", "description"})
                                    : MarkdownTable({"constant", "value:"});
    for (const MemberModel& member : type.members) {
        if (described)
            table.AddRow({CodeSpan(member.name), member.value, member.help});
        else
            table.AddRow({CodeSpan(member.name), member.value});
    }
    return text + table.Text();
}

std::string MembersText(const TypeModel& type)
{
    std::vector<std::string> members;
    for (const MemberModel& member : type.members) {
        if (member.kind == MemberKind::constant)
            members.push_back(CodeSpan("const " + member.type + " " + member.name + " = " + member.value));
        else if (member.kind == MemberKind::variable)
            members.push_back(CodeSpan(member.type + " " + member.name));
        else
            members.push_back(CodeSpan(member.type + " " + member.name + ParameterListText(member.parameters)));
    }
    return Join(members, "<br>");
}

}  // namespace

std::string AnchorOf(const std::string& name)
{
    std::string anchor;
    for (char ch : name) {
        const unsigned char byte = static_cast<unsigned char>(ch);
        if (std::isalnum(byte) || ch == '_' || ch == '-')
            anchor += static_cast<char>(std::tolower(byte));
        else if (ch == ' ')
            anchor += '-';
    }
    return anchor;
}

bool IsInterface(TYPEKIND kind) { return kind == TKIND_DISPATCH || kind == TKIND_INTERFACE; }
bool IsEnumeration(TYPEKIND kind) { return kind == TKIND_ENUM; }
bool IsOtherType(TYPEKIND kind)
{
    return kind == TKIND_ALIAS || kind == TKIND_RECORD || kind == TKIND_UNION || kind == TKIND_MODULE;
}

std::vector<std::string> TypeNames(const LibraryModel& library, bool (*belongs)(TYPEKIND))
{
    std::vector<std::string> names;
    for (const TypeModel& type : library.types) {
        if (belongs(type.kind))
            names.push_back(type.name);
    }
    return names;
}

std::string LibrarySection(const LibraryModel& library)
{
    std::string text = "## Type library\n\n";
    text += "- " + CodeSpan(library.name) + " version " + std::to_string(library.major) + "."
            + std::to_string(library.minor) + ", LIBID " + CodeSpan(library.guid) + FlagsSuffix(library.flags) + "\n";
    if (!library.help.empty())
        text += "- " + library.help + "\n";
    if (!library.helpFile.empty())
        text += "- help file " + CodeSpan(library.helpFile) + "\n";
    return text + "\n";
}

std::string ClassesSection(const LibraryModel& library)
{
    MarkdownTable table({"class", "CLSID", "interfaces", "description"});
    for (const TypeModel& type : library.types) {
        if (type.kind != TKIND_COCLASS)
            continue;
        std::vector<std::string> interfaces;
        for (const ImplementedModel& implemented : type.implemented)
            interfaces.push_back(Link(implemented.name) + FlagsSuffix(implemented.flags));
        table.AddRow({CodeSpan(type.name) + FlagsSuffix(type.flags), CodeSpan(type.guid), Join(interfaces),
                      type.help});
    }
    return "## Classes\n\n" + table.Text();
}

std::string InterfacesSection(const LibraryModel& library)
{
    std::string text = "## Interfaces\n\n"
                       "Parameters are `[in]` unless marked otherwise. A property that takes parameters "
                       "is shown with them.\n\n";
    for (const TypeModel& type : library.types) {
        if (IsInterface(type.kind))
            text += InterfaceText(library, type);
    }
    return text;
}

std::string EnumerationsSection(const LibraryModel& library)
{
    std::string text = "## Enumerations\n\n";
    for (const TypeModel& type : library.types) {
        if (IsEnumeration(type.kind))
            text += EnumerationText(type);
    }
    return text;
}

std::string OtherTypesSection(const LibraryModel& library)
{
    MarkdownTable table({"type", "kind", "definition", "description"});
    for (const TypeModel& type : library.types) {
        if (IsOtherType(type.kind))
            table.AddRow({CodeSpan(type.name), KindText(type.kind),
                          type.kind == TKIND_ALIAS ? CodeSpan(type.aliasOf) : MembersText(type), type.help});
    }
    const std::string text = table.Text();
    return text.empty() ? text : "## Other types\n\n" + text;
}
