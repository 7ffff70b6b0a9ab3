#pragma once

// Starting the program when the user logs on.
class Autostart
{
public:
    virtual ~Autostart() = default;

    virtual bool IsRegistered() const = 0;
    // Registers the program to start hidden ("runminimized"), or removes the registration.
    // Failures are silent: the next start simply finds no registration.
    virtual void Apply(bool enabled) = 0;
};
