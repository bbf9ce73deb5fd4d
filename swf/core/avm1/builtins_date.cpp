// Date: a time value in milliseconds since 1970 UTC, shown in the host's local time.
#include <cmath>
#include <cstdio>

#include "swf/core/avm1/frame.h"

namespace swf::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

double days_from_civil(double y, double m, double d)
{
    // m is 0-based and may be out of range; normalise into the year first.
    y += std::floor(m / 12);
    m = std::fmod(m, 12);
    if (m < 0) m += 12;
    double yy = m < 2 ? y - 1 : y;
    double era = std::floor(yy / 400);
    double yoe = yy - era * 400;
    double mp = m < 2 ? m + 10 : m - 2; // months from March
    double doy = std::floor((153 * mp + 2) / 5) + d - 1;
    double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

struct Parts {
    double year, month, day, hours, minutes, seconds, ms, weekday;
};

Parts split(double t)
{
    double days = std::floor(t / kMsPerDay);
    double in_day = t - days * kMsPerDay;
    double z = days + 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    double d = doy - std::floor((153 * mp + 2) / 5) + 1;
    double m = mp < 10 ? mp + 3 : mp - 9;
    double y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    Parts p;
    p.year = y;
    p.month = m - 1;
    p.day = d;
    p.hours = std::floor(in_day / 3600000);
    p.minutes = std::floor(std::fmod(in_day, 3600000) / 60000);
    p.seconds = std::floor(std::fmod(in_day, 60000) / 1000);
    p.ms = std::fmod(in_day, 1000);
    p.weekday = std::fmod(days + 4, 7);
    if (p.weekday < 0) p.weekday += 7;
    return p;
}

double make_time(const Parts& p)
{
    return days_from_civil(p.year, p.month, 1) * kMsPerDay + (p.day - 1) * kMsPerDay + p.hours * 3600000 +
           p.minutes * 60000 + p.seconds * 1000 + p.ms;
}

PrimitiveObject* date_of(const CallArgs& a)
{
    auto* p = dynamic_cast<PrimitiveObject*>(a.this_obj);
    return p && p->object_class() == ObjectClass::Date ? p : nullptr;
}

double local_offset(Interpreter& in, double utc) { return in.host().local_offset_ms(utc); }

Value date_ctor(Interpreter& in, const CallArgs& a)
{
    double t;
    if (a.size() == 0) {
        t = std::floor(in.host().utc_now_ms());
    } else if (a.size() == 1) {
        t = in.to_number(a[0]);
    } else {
        Parts p{};
        double* fields[] = {&p.year, &p.month, &p.day, &p.hours, &p.minutes, &p.seconds, &p.ms};
        p.day = 1;
        for (size_t i = 0; i < 7 && i < a.size(); ++i) *fields[i] = in.to_number(a[i]);
        if (p.year >= 0 && p.year < 100) p.year += 1900;
        double local = make_time(p);
        t = local - local_offset(in, local);
    }
    Object* proto = a.constructing && a.this_obj ? a.this_obj->proto() : in.protos.date;
    auto* d = in.make<PrimitiveObject>(proto, ObjectClass::Date, Value(t));
    if (!a.constructing) return in.to_string(d);
    return d;
}

template <bool Utc, int Field>
Value date_get(Interpreter& in, const CallArgs& a)
{
    PrimitiveObject* d = date_of(a);
    if (!d) return Value();
    double t = d->primitive.number();
    if (std::isnan(t)) return t;
    if constexpr (Field == -1) return t;
    if (!Utc) t += local_offset(in, t);
    Parts p = split(t);
    switch (Field) {
    case 0: return p.year;
    case 1: return p.month;
    case 2: return p.day;
    case 3: return p.hours;
    case 4: return p.minutes;
    case 5: return p.seconds;
    case 6: return p.ms;
    case 7: return p.weekday;
    case 8: return p.year - 1900;
    }
    return Value();
}

template <bool Utc, int Field>
Value date_set(Interpreter& in, const CallArgs& a)
{
    PrimitiveObject* d = date_of(a);
    if (!d) return Value();
    double t = d->primitive.number();
    if (Field == -1) {
        d->primitive = in.to_number(a[0]);
        return d->primitive;
    }
    if (std::isnan(t)) t = 0;
    double offset = Utc ? 0 : local_offset(in, t);
    Parts p = split(t + offset);
    if constexpr (Field == 8) {
        // setYear: years 0 to 99 are those of the 1900s.
        if (a.size() > 0) {
            p.year = in.to_number(a[0]);
            if (p.year >= 0 && p.year < 100) p.year += 1900;
        }
    } else {
        double* fields[] = {&p.year, &p.month, &p.day, &p.hours, &p.minutes, &p.seconds, &p.ms};
        for (size_t i = 0; Field + i < 7 && i < a.size(); ++i) {
            if (Field == 0 && i > 2) break;
            if (Field == 3 && i > 3) break;
            *fields[Field + i] = in.to_number(a[i]);
        }
    }
    double local = make_time(p);
    d->primitive = Utc ? local : local - local_offset(in, local);
    return d->primitive;
}

// Minutes from local time to UTC (negative east of Greenwich).
Value date_timezone_offset(Interpreter& in, const CallArgs& a)
{
    PrimitiveObject* d = date_of(a);
    if (!d) return Value();
    double t = d->primitive.number();
    if (std::isnan(t)) return t;
    return -local_offset(in, t) / 60000;
}

Value date_to_string(Interpreter& in, const CallArgs& a)
{
    PrimitiveObject* d = date_of(a);
    if (!d) return Value();
    double t = d->primitive.number();
    if (std::isnan(t)) return "Invalid Date";
    double offset = local_offset(in, t);
    Parts p = split(t + offset);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int off_min = static_cast<int>(offset / 60000);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d", days[static_cast<int>(p.weekday)],
                  months[static_cast<int>(p.month)], static_cast<int>(p.day), static_cast<int>(p.hours),
                  static_cast<int>(p.minutes), static_cast<int>(p.seconds), off_min < 0 ? '-' : '+',
                  std::abs(off_min) / 60, std::abs(off_min) % 60, static_cast<int>(p.year));
    return buf;
}

Value date_utc(Interpreter& in, const CallArgs& a)
{
    Parts p{};
    p.day = 1;
    double* fields[] = {&p.year, &p.month, &p.day, &p.hours, &p.minutes, &p.seconds, &p.ms};
    for (size_t i = 0; i < 7 && i < a.size(); ++i) *fields[i] = in.to_number(a[i]);
    if (p.year >= 0 && p.year < 100) p.year += 1900;
    return make_time(p);
}

}  // namespace

void install_date_builtins(Interpreter& in)
{
    in.protos.date = in.new_object();
    Object* proto = in.protos.date;
    FunctionObject* ctor = add_class(in, "Date", date_ctor, proto);
    add_method(in, ctor, "UTC", date_utc);
    add_method(in, proto, "toString", date_to_string);
    add_method(in, proto, "valueOf", date_get<true, -1>);
    add_method(in, proto, "getTime", date_get<true, -1>);
    add_method(in, proto, "getFullYear", date_get<false, 0>);
    add_method(in, proto, "getYear", date_get<false, 8>);
    add_method(in, proto, "getMonth", date_get<false, 1>);
    add_method(in, proto, "getDate", date_get<false, 2>);
    add_method(in, proto, "getHours", date_get<false, 3>);
    add_method(in, proto, "getMinutes", date_get<false, 4>);
    add_method(in, proto, "getSeconds", date_get<false, 5>);
    add_method(in, proto, "getMilliseconds", date_get<false, 6>);
    add_method(in, proto, "getDay", date_get<false, 7>);
    add_method(in, proto, "getTimezoneOffset", date_timezone_offset);
    add_method(in, proto, "getUTCFullYear", date_get<true, 0>);
    add_method(in, proto, "getUTCYear", date_get<true, 8>);
    add_method(in, proto, "getUTCMonth", date_get<true, 1>);
    add_method(in, proto, "getUTCDate", date_get<true, 2>);
    add_method(in, proto, "getUTCHours", date_get<true, 3>);
    add_method(in, proto, "getUTCMinutes", date_get<true, 4>);
    add_method(in, proto, "getUTCSeconds", date_get<true, 5>);
    add_method(in, proto, "getUTCMilliseconds", date_get<true, 6>);
    add_method(in, proto, "getUTCDay", date_get<true, 7>);
    add_method(in, proto, "setTime", date_set<true, -1>);
    add_method(in, proto, "setFullYear", date_set<false, 0>);
    add_method(in, proto, "setYear", date_set<false, 8>);
    add_method(in, proto, "setMonth", date_set<false, 1>);
    add_method(in, proto, "setDate", date_set<false, 2>);
    add_method(in, proto, "setHours", date_set<false, 3>);
    add_method(in, proto, "setMinutes", date_set<false, 4>);
    add_method(in, proto, "setSeconds", date_set<false, 5>);
    add_method(in, proto, "setMilliseconds", date_set<false, 6>);
    add_method(in, proto, "setUTCFullYear", date_set<true, 0>);
    add_method(in, proto, "setUTCMonth", date_set<true, 1>);
    add_method(in, proto, "setUTCDate", date_set<true, 2>);
    add_method(in, proto, "setUTCHours", date_set<true, 3>);
    add_method(in, proto, "setUTCMinutes", date_set<true, 4>);
    add_method(in, proto, "setUTCSeconds", date_set<true, 5>);
    add_method(in, proto, "setUTCMilliseconds", date_set<true, 6>);
}

}  // namespace swf::avm1
