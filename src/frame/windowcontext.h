#pragma once

class CompanyLookup;
class Prompter;
class ReportEngine;
class Tdm;
class TdmRC;
class TfrmMain;
class WebFetcher;

// What the windows of the program work with, passed to each window it opens.
struct WindowContext
{
    Tdm &dm;
    TdmRC &rc;
    Prompter &prompter;
    ReportEngine &reports;
    WebFetcher *rates = nullptr;
    CompanyLookup *companies = nullptr;
    TfrmMain *frame = nullptr;
};
