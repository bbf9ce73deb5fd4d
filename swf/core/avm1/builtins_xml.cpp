// XMLNode, XML and LoadVars: documents and variables loaded from files beside the movie.
#include <algorithm>
#include <cmath>

#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/url_text.h"

namespace swf::avm1 {

namespace {

constexpr int kMaxXmlDepth = 256;

// An element (type 1) or a text node (type 3); the document itself is an element without a
// name.
class XmlNode : public Object {
public:
    XmlNode(Object* proto, int type) : Object(proto), type(type) {}
    void trace(Tracer& t) override
    {
        Object::trace(t);
        t.mark(parent);
        t.mark(attributes);
        for (XmlNode* c : children) t.mark(c);
    }
    int type;
    Value name;   // null for text nodes and documents
    Value value;  // the text of a text node, null otherwise
    XmlNode* parent = nullptr;
    Object* attributes = nullptr;
    std::vector<XmlNode*> children;
};

XmlNode* as_node(const Value& v) { return dynamic_cast<XmlNode*>(v.object()); }

XmlNode* make_node(Interpreter& in, Object* proto, int type)
{
    auto* node = in.make<XmlNode>(proto, type);
    node->attributes = in.new_object();
    node->name = Value(Null{});
    node->value = Value(Null{});
    return node;
}

void detach(XmlNode* node)
{
    if (!node->parent) return;
    auto& siblings = node->parent->children;
    std::erase(siblings, node);
    node->parent = nullptr;
}

bool is_ancestor(const XmlNode* maybe, const XmlNode* node)
{
    for (int depth = 0; node && depth < 100000; node = node->parent, ++depth)
        if (node == maybe) return true;
    return false;
}

std::string escape_xml(std::string_view s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

void serialize(Interpreter& in, XmlNode* node, std::string& out, int depth)
{
    if (depth > kMaxXmlDepth) return;
    in.charge(1);
    if (node->type == 3) {
        out += escape_xml(in.to_string(node->value));
        in.check_string(out.size());
        return;
    }
    bool named = !node->name.is_nullish();
    if (named) {
        out += "<" + in.to_string(node->name);
        std::vector<std::string> keys = in.enumerate(node->attributes);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            out += " " + *it + "=\"" + escape_xml(in.to_string(in.get(node->attributes, *it))) + "\"";
        if (node->children.empty()) {
            out += " />";
            return;
        }
        out += ">";
    }
    for (XmlNode* c : std::vector<XmlNode*>(node->children)) serialize(in, c, out, depth + 1);
    if (named) out += "</" + in.to_string(node->name) + ">";
    in.check_string(out.size());
}

std::string decode_entities(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        size_t semi = s.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out += s[i];
            continue;
        }
        std::string_view name = s.substr(i + 1, semi - i - 1);
        if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "amp") out += '&';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (name == "nbsp") out += "\xC2\xA0";
        else {
            out += s.substr(i, semi - i + 1);
        }
        i = semi;
    }
    return out;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Parses `src` into `doc` (its children replaced) and answers Flash's XML.status code.
int parse_xml(Interpreter& in, XmlNode* doc, std::string_view src, bool ignore_white, Object* xml_object)
{
    Object* node_proto = in.get(in.global(), "XMLNode").object();
    node_proto = node_proto ? in.get(node_proto, "prototype").object() : in.protos.object;
    for (XmlNode* c : doc->children) c->parent = nullptr;
    doc->children.clear();
    XmlNode* current = doc;
    int depth = 0;
    int status = 0;
    std::string decl, doctype;
    auto add_text = [&](std::string_view text) {
        if (text.empty()) return;
        if (ignore_white && std::all_of(text.begin(), text.end(), is_space)) return;
        XmlNode* t = make_node(in, node_proto, 3);
        t->value = decode_entities(text);
        t->parent = current;
        current->children.push_back(t);
    };
    size_t i = 0;
    while (i < src.size()) {
        in.charge(1);
        size_t lt = src.find('<', i);
        if (lt == std::string_view::npos) {
            add_text(src.substr(i));
            break;
        }
        add_text(src.substr(i, lt - i));
        if (src.compare(lt, 4, "<!--") == 0) {
            size_t end = src.find("-->", lt + 4);
            if (end == std::string_view::npos) return -5;
            i = end + 3;
        } else if (src.compare(lt, 9, "<![CDATA[") == 0) {
            size_t end = src.find("]]>", lt + 9);
            if (end == std::string_view::npos) return -2;
            XmlNode* t = make_node(in, node_proto, 3);
            t->value = std::string(src.substr(lt + 9, end - lt - 9));
            t->parent = current;
            current->children.push_back(t);
            i = end + 3;
        } else if (src.compare(lt, 2, "<?") == 0) {
            size_t end = src.find("?>", lt + 2);
            if (end == std::string_view::npos) return -3;
            decl += src.substr(lt, end + 2 - lt);
            i = end + 2;
        } else if (src.compare(lt, 2, "<!") == 0) {
            size_t end = src.find('>', lt + 2);
            if (end == std::string_view::npos) return -4;
            doctype += src.substr(lt, end + 1 - lt);
            i = end + 1;
        } else if (src.compare(lt, 2, "</") == 0) {
            size_t end = src.find('>', lt + 2);
            if (end == std::string_view::npos) return -6;
            std::string name(src.substr(lt + 2, end - lt - 2));
            while (!name.empty() && is_space(name.back())) name.pop_back();
            if (current == doc || in.to_string(current->name) != name) return -10;
            current = current->parent;
            --depth;
            i = end + 1;
        } else {
            size_t j = lt + 1;
            while (j < src.size() && !is_space(src[j]) && src[j] != '>' && src[j] != '/') ++j;
            std::string name(src.substr(lt + 1, j - lt - 1));
            if (name.empty()) return -6;
            XmlNode* element = make_node(in, node_proto, 1);
            element->name = name;
            bool closed = false;
            for (;;) {
                while (j < src.size() && is_space(src[j])) ++j;
                if (j >= src.size()) return -6;
                if (src[j] == '>') {
                    ++j;
                    break;
                }
                if (src[j] == '/') {
                    if (j + 1 >= src.size() || src[j + 1] != '>') return -6;
                    closed = true;
                    j += 2;
                    break;
                }
                size_t a = j;
                while (j < src.size() && src[j] != '=' && !is_space(src[j]) && src[j] != '>') ++j;
                std::string attr(src.substr(a, j - a));
                while (j < src.size() && is_space(src[j])) ++j;
                if (j >= src.size() || src[j] != '=') return -6;
                ++j;
                while (j < src.size() && is_space(src[j])) ++j;
                if (j >= src.size() || (src[j] != '"' && src[j] != '\'')) return -8;
                char quote = src[j];
                size_t close = src.find(quote, j + 1);
                if (close == std::string_view::npos) return -8;
                in.set(element->attributes, attr, Value(decode_entities(src.substr(j + 1, close - j - 1))));
                j = close + 1;
            }
            element->parent = current;
            current->children.push_back(element);
            if (!closed) {
                if (++depth > kMaxXmlDepth) return -6;
                current = element;
            }
            i = j;
        }
    }
    if (current != doc) status = -9;
    if (xml_object) {
        in.set(xml_object, "xmlDecl", decl.empty() ? Value() : Value(decl));
        in.set(xml_object, "docTypeDecl", doctype.empty() ? Value() : Value(doctype));
    }
    return status;
}

// ---- XMLNode ----

Value node_type(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n ? Value(n->type) : Value();
}

Value node_name(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n ? n->name : Value();
}

Value node_set_name(Interpreter& in, const CallArgs& a)
{
    if (XmlNode* n = as_node(a.this_obj); n && n->type == 1) n->name = a[0].is_nullish() ? Value(Null{}) : Value(in.to_string(a[0]));
    return Value();
}

Value node_value(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n ? n->value : Value();
}

Value node_set_value(Interpreter& in, const CallArgs& a)
{
    if (XmlNode* n = as_node(a.this_obj); n && n->type == 3) n->value = in.to_string(a[0]);
    return Value();
}

Value node_parent(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value();
    return n->parent ? Value(n->parent) : Value(Null{});
}

Value node_children(Interpreter& in, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value();
    ArrayObject* arr = in.new_array();
    for (XmlNode* c : n->children) arr->push(c);
    return arr;
}

Value node_first(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value();
    return n->children.empty() ? Value(Null{}) : Value(n->children.front());
}

Value node_last(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value();
    return n->children.empty() ? Value(Null{}) : Value(n->children.back());
}

Value sibling(const CallArgs& a, int step)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value();
    if (!n->parent) return Value(Null{});
    auto& s = n->parent->children;
    auto it = std::find(s.begin(), s.end(), n);
    if (it == s.end()) return Value(Null{});
    long index = (it - s.begin()) + step;
    if (index < 0 || index >= static_cast<long>(s.size())) return Value(Null{});
    return s[static_cast<size_t>(index)];
}

Value node_next(Interpreter&, const CallArgs& a) { return sibling(a, 1); }
Value node_previous(Interpreter&, const CallArgs& a) { return sibling(a, -1); }

Value node_attributes(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n ? Value(n->attributes) : Value();
}

Value node_append(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    XmlNode* child = as_node(a[0]);
    if (!n || !child || is_ancestor(child, n)) return Value();
    detach(child);
    child->parent = n;
    n->children.push_back(child);
    return Value();
}

Value node_insert_before(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    XmlNode* child = as_node(a[0]);
    XmlNode* before = as_node(a[1]);
    if (!n || !child || !before || before->parent != n || is_ancestor(child, n) || child == before) return Value();
    detach(child);
    auto it = std::find(n->children.begin(), n->children.end(), before);
    child->parent = n;
    n->children.insert(it, child);
    return Value();
}

Value node_remove(Interpreter&, const CallArgs& a)
{
    if (XmlNode* n = as_node(a.this_obj)) detach(n);
    return Value();
}

XmlNode* clone(Interpreter& in, XmlNode* n, bool deep, int depth)
{
    XmlNode* copy = make_node(in, n->proto(), n->type);
    copy->name = n->name;
    copy->value = n->value;
    for (const std::string& key : in.enumerate(n->attributes)) in.set(copy->attributes, key, in.get(n->attributes, key));
    if (deep && depth < kMaxXmlDepth) {
        for (XmlNode* c : n->children) {
            XmlNode* cc = clone(in, c, true, depth + 1);
            cc->parent = copy;
            copy->children.push_back(cc);
        }
    }
    return copy;
}

Value node_clone(Interpreter& in, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n ? Value(clone(in, n, to_boolean(a[0], in.version()), 0)) : Value();
}

Value node_has_children(Interpreter&, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    return n && !n->children.empty();
}

Value node_to_string(Interpreter& in, const CallArgs& a)
{
    XmlNode* n = as_node(a.this_obj);
    if (!n) return Value("[object Object]");
    std::string out;
    if (n->name.is_nullish() && n->type == 1 && !n->parent) {
        Value decl = in.get(a.this_obj, "xmlDecl");
        Value doctype = in.get(a.this_obj, "docTypeDecl");
        if (!decl.is_nullish()) out += in.to_string(decl);
        if (!doctype.is_nullish()) out += in.to_string(doctype);
    }
    serialize(in, n, out, 0);
    return out;
}

// ---- XML ----

Value xml_parse(Interpreter& in, const CallArgs& a)
{
    XmlNode* doc = as_node(a.this_obj);
    if (!doc) return Value();
    bool ignore_white = to_boolean(in.get(a.this_obj, "ignoreWhite"), in.version());
    int status = parse_xml(in, doc, in.to_string(a[0]), ignore_white, a.this_obj);
    in.set(a.this_obj, "status", status);
    return Value();
}

Value xml_create_element(Interpreter& in, const CallArgs& a)
{
    XmlNode* n = make_node(in, in.get(in.get(in.global(), "XMLNode").object(), "prototype").object(), 1);
    n->name = in.to_string(a[0]);
    return n;
}

Value xml_create_text(Interpreter& in, const CallArgs& a)
{
    XmlNode* n = make_node(in, in.get(in.get(in.global(), "XMLNode").object(), "prototype").object(), 3);
    n->value = in.to_string(a[0]);
    return n;
}

// load(url): the file arrives on a later frame through onData.
Value data_load(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj || a.size() == 0) return false;
    in.set(a.this_obj, "loaded", false);
    in.host().load_data(in.to_string(a[0]), a.this_obj);
    return true;
}

Value data_bytes(Interpreter& in, const CallArgs& a)
{
    return in.get(a.this_obj, "__bytes");
}

// The default onData of XML and LoadVars: the loaded text goes to `parse`, then onLoad(success).
Value on_data_then_load(Interpreter& in, const CallArgs& a, const char* parse)
{
    Object* self = a.this_obj;
    if (!self) return Value();
    Value ok = false;
    if (!a[0].is_undefined()) {
        std::string text = in.to_string(a[0]);
        in.set(self, "__bytes", static_cast<double>(text.size()));
        Value args[1] = {text};
        in.call(in.get(self, parse), self, args);
        in.set(self, "loaded", true);
        ok = true;
    }
    Value args[1] = {ok};
    in.call(in.get(self, "onLoad"), self, args);
    return Value();
}

Value xml_on_data(Interpreter& in, const CallArgs& a) { return on_data_then_load(in, a, "parseXML"); }

Value nothing(Interpreter&, const CallArgs&) { return Value(); }
Value fails(Interpreter&, const CallArgs&) { return false; }

// ---- LoadVars ----

Value loadvars_ctor(Interpreter&, const CallArgs&) { return Value(); }

Value loadvars_decode(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return Value();
    for (const auto& [name, value] : decode_form(in.to_string(a[0]))) in.set(a.this_obj, name, Value(value));
    return Value();
}

Value loadvars_to_string(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return Value();
    std::string out;
    std::vector<std::string> names = in.enumerate(a.this_obj);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        Value v = in.get(a.this_obj, *it);
        if (v.is_object() && v.object()->object_class() == ObjectClass::Function) continue;
        if (!out.empty()) out += "&";
        out += url_escape(*it) + "=" + url_escape(in.to_string(v));
        in.check_string(out.size());
    }
    return out;
}

Value loadvars_on_data(Interpreter& in, const CallArgs& a) { return on_data_then_load(in, a, "decode"); }

void add_accessor(Interpreter& in, Object* proto, std::string_view name, NativeFn getter, NativeFn setter = nullptr)
{
    Property& p = proto->properties().add(name);
    p.getter = in.new_native(getter, std::string(name));
    if (setter) p.setter = in.new_native(setter, std::string(name));
    p.flags = prop::DontEnum | prop::DontDelete;
}

// `new XMLNode(type, text)` and `new XML(source)` make XmlNode objects themselves: the
// generic construction makes plain objects.
Value node_construct(Interpreter& in, const CallArgs& a)
{
    Object* proto = in.get(a.callee, "prototype").object();
    XmlNode* n = make_node(in, proto, static_cast<int>(in.to_number(a[0])) == 3 ? 3 : 1);
    if (n->type == 3) n->value = in.to_string(a[1]);
    else if (!a[1].is_nullish()) n->name = in.to_string(a[1]);
    return n;
}

Value xml_construct(Interpreter& in, const CallArgs& a)
{
    Object* proto = in.get(a.callee, "prototype").object();
    XmlNode* doc = make_node(in, proto, 1);
    if (!a[0].is_undefined()) {
        Value args[1] = {a[0]};
        in.call(in.get(doc, "parseXML"), doc, args);
    }
    return doc;
}

}  // namespace

void install_xml_builtins(Interpreter& in)
{
    Object* node_proto = in.new_object();
    add_class(in, "XMLNode", node_construct, node_proto);
    add_accessor(in, node_proto, "nodeType", node_type);
    add_accessor(in, node_proto, "nodeName", node_name, node_set_name);
    add_accessor(in, node_proto, "nodeValue", node_value, node_set_value);
    add_accessor(in, node_proto, "parentNode", node_parent);
    add_accessor(in, node_proto, "childNodes", node_children);
    add_accessor(in, node_proto, "firstChild", node_first);
    add_accessor(in, node_proto, "lastChild", node_last);
    add_accessor(in, node_proto, "nextSibling", node_next);
    add_accessor(in, node_proto, "previousSibling", node_previous);
    add_accessor(in, node_proto, "attributes", node_attributes);
    add_method(in, node_proto, "appendChild", node_append);
    add_method(in, node_proto, "insertBefore", node_insert_before);
    add_method(in, node_proto, "removeNode", node_remove);
    add_method(in, node_proto, "cloneNode", node_clone);
    add_method(in, node_proto, "hasChildNodes", node_has_children);
    add_method(in, node_proto, "toString", node_to_string);

    Object* xml_proto = in.make<Object>(node_proto);
    add_class(in, "XML", xml_construct, xml_proto);
    add_method(in, xml_proto, "parseXML", xml_parse);
    add_method(in, xml_proto, "createElement", xml_create_element);
    add_method(in, xml_proto, "createTextNode", xml_create_text);
    add_method(in, xml_proto, "load", data_load);
    add_method(in, xml_proto, "send", fails);
    add_method(in, xml_proto, "sendAndLoad", fails);
    add_method(in, xml_proto, "getBytesLoaded", data_bytes);
    add_method(in, xml_proto, "getBytesTotal", data_bytes);
    add_method(in, xml_proto, "onLoad", nothing);
    add_method(in, xml_proto, "onData", xml_on_data);
    xml_proto->define("ignoreWhite", false, prop::DontEnum);
    xml_proto->define("contentType", "application/x-www-form-urlencoded", prop::DontEnum);
    xml_proto->define("loaded", Value(), prop::DontEnum);
    xml_proto->define("status", 0, prop::DontEnum);

    Object* vars_proto = in.new_object();
    add_class(in, "LoadVars", loadvars_ctor, vars_proto);
    add_method(in, vars_proto, "load", data_load);
    add_method(in, vars_proto, "send", fails);
    add_method(in, vars_proto, "sendAndLoad", fails);
    add_method(in, vars_proto, "decode", loadvars_decode);
    add_method(in, vars_proto, "toString", loadvars_to_string);
    add_method(in, vars_proto, "getBytesLoaded", data_bytes);
    add_method(in, vars_proto, "getBytesTotal", data_bytes);
    add_method(in, vars_proto, "onLoad", nothing);
    add_method(in, vars_proto, "onData", loadvars_on_data);
    vars_proto->define("contentType", "application/x-www-form-urlencoded", prop::DontEnum);
    vars_proto->define("loaded", Value(), prop::DontEnum);
}

}  // namespace swf::avm1
