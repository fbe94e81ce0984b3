// Common base of the launcher's input controls; it only gives them a virtual destructor.
#pragma once

class GCtrlObject {
  public:
    GCtrlObject() = default;
    virtual ~GCtrlObject() = default;
    GCtrlObject(const GCtrlObject&) = delete;
    GCtrlObject& operator=(const GCtrlObject&) = delete;
};
