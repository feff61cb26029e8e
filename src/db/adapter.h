#pragma once

#include <QtGlobal>

class Command;
class Dataset;

// The dialect rewrites applied in place to a dataset's or a command's text,
// for the engine of its connection (nothing changes on the embedded engine).
void adaptDataset(Dataset &dataset);
void adaptCommand(Command &command);

// Reopens a dataset whose first parameter is a company id (the company's
// work points, its active employees).
void openForCompany(Dataset &dataset, qint64 companyId);
