#pragma once

// The one place where a service of the program is looked up: the real implementation, unless a test has
// installed a replacement. Each service derives from ServiceSlot<itself> and defines realService() in its
// .cpp file, so a test double needs nothing but setCurrent().
template <typename Service> class ServiceSlot
{
public:
    static Service& current() { return s_current ? *s_current : Service::realService(); }
    // Installs a replacement (a test double); nullptr puts the real service back.
    static void setCurrent(Service* service) { s_current = service; }

protected:
    ServiceSlot() = default;
    ~ServiceSlot() = default;

private:
    static inline Service* s_current = nullptr;
};
